#pragma once
// How long a call takes, in milliseconds of the steady clock.

#include <chrono>

namespace cw::test {

inline double Millisecondi(void (*f)()) {
  const auto inizio = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inizio).count();
}

}  // namespace cw::test
