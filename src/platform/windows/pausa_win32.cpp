#include "platform/windows/pausa_win32.h"

#include <windows.h>

namespace cw {

// SleepEx itself: with alertable set, a queued completion routine ends the
// wait early, as in the original.
void PausaWin32::Attendi(std::int32_t ms, std::int16_t alertable) {
  if (ms < 0) ms = 1;
  if (ms == 0) return;
  SleepEx(static_cast<DWORD>(ms), alertable != 0 ? TRUE : FALSE);
}

}  // namespace cw
