// Pausa::Attendi: the wait of the Vb-Build automation.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/millisecondi.h"
#include "support/sistema_prova.h"

namespace cw::test {
namespace {

// A wait never ends early, so a lower bound holds on any machine; an upper
// one is checked on the shortest of a few runs, which a busy machine may
// stretch now and then but not every time.
double PiuBreve(void (*f)()) {
  double piuBreve = Millisecondi(f);
  for (int i = 0; i < 4; ++i) piuBreve = std::min(piuBreve, Millisecondi(f));
  return piuBreve;
}

TEST(AttendiTest, TempoNegativoUnMillisecondoZeroSubito) {
  EXPECT_GE(Millisecondi([] { SistemaDiProva().pausa->Attendi(-5, 0); }), 1.0);
  EXPECT_LT(PiuBreve([] { SistemaDiProva().pausa->Attendi(-5, 0); }), 50.0);
  EXPECT_LT(PiuBreve([] { SistemaDiProva().pausa->Attendi(0, 0); }), 1.0);
  EXPECT_GE(Millisecondi([] { SistemaDiProva().pausa->Attendi(30, 0); }), 30.0);
}

}  // namespace
}  // namespace cw::test
