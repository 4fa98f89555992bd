#pragma once
// Attendi: the window's wait, used between the keystrokes typed into the
// outside build tool. It blocks the calling thread and never runs the event
// pump, so the window neither repaints nor reacts while it waits.

#include <cstdint>

namespace cw {

// Waits ms milliseconds; a negative time waits 1 ms, 0 returns at once.
// With alertable 0 the wait runs its full time; otherwise a signal delivered
// to the thread ends it early (the nearest thing to a queued completion
// routine on this platform).
void Attendi(std::int32_t ms, std::int16_t alertable);

}  // namespace cw
