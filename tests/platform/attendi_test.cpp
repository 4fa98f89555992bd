// Attendi: the wait of the Vb-Build automation.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/attendi.h"

namespace cw::test {
namespace {

using Orologio = std::chrono::steady_clock;

double Millisecondi(void (*f)()) {
  const auto inizio = Orologio::now();
  f();
  return std::chrono::duration<double, std::milli>(Orologio::now() - inizio).count();
}

TEST(AttendiTest, TempoNegativoUnMillisecondoZeroSubito) {
  const double negativo = Millisecondi([] { Attendi(-5, 0); });
  EXPECT_GE(negativo, 1.0);
  EXPECT_LT(negativo, 50.0);
  EXPECT_LT(Millisecondi([] { Attendi(0, 0); }), 1.0);
  EXPECT_GE(Millisecondi([] { Attendi(30, 0); }), 30.0);
}

}  // namespace
}  // namespace cw::test
