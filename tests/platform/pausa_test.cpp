// Pausa::Attendi: the wait of the Vb-Build automation.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "support/sistema_prova.h"

namespace cw::test {
namespace {

using Orologio = std::chrono::steady_clock;

double Millisecondi(void (*f)()) {
  const auto inizio = Orologio::now();
  f();
  return std::chrono::duration<double, std::milli>(Orologio::now() - inizio).count();
}

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
