#pragma once
// Pausa: the window's wait, used between the keystrokes typed into the
// outside build tool. It blocks the calling thread and never runs the event
// pump, so the window neither repaints nor reacts while it waits.

#include <cstdint>

namespace cw {

class Pausa {
 public:
  virtual ~Pausa() = default;
  // Waits ms milliseconds; a negative time waits 1 ms, 0 returns at once.
  // With alertable 0 the wait runs its full time; otherwise a queued
  // completion routine ends it early (on Linux, the nearest thing to one: a
  // signal delivered to the thread).
  virtual void Attendi(std::int32_t ms, std::int16_t alertable) = 0;
};

}  // namespace cw
