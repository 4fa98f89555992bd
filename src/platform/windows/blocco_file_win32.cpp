#include "platform/windows/blocco_file_win32.h"

#include <windows.h>

namespace cw {

bool BloccoFileWin32::Prendi() {
  if (handle_) return true;
  // Shared for all but the lock itself, so another instance can open it to
  // find it held.
  const HANDLE h = CreateFileW(file_.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  // A lock file that cannot be made at all is no other instance.
  if (h == INVALID_HANDLE_VALUE) return true;
  OVERLAPPED tutto{};
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &tutto)) {
    const bool tenuto = GetLastError() == ERROR_LOCK_VIOLATION;
    CloseHandle(h);
    return !tenuto;
  }
  handle_ = h;
  return true;
}

void BloccoFileWin32::Lascia() {
  if (!handle_) return;
  CloseHandle(handle_);
  handle_ = nullptr;
}

}  // namespace cw
