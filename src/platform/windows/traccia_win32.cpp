#include "platform/windows/traccia_win32.h"

#include <windows.h>

#include "base/riga_traccia.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {

TracciaWin32::TracciaWin32(void* handle, bool proprio) : handle_(handle), proprio_(proprio) {}

TracciaWin32::~TracciaWin32() {
  if (proprio_) CloseHandle(handle_);
}

void TracciaWin32::Scrivi(std::string_view tipo, std::string_view testo) {
  const std::string riga = RigaTraccia(std::chrono::steady_clock::now() - inizio_, tipo, testo);
  if (!handle_) {
    OutputDebugStringW(Wide(riga).c_str());
    return;
  }
  // A trace that cannot be written must not change what the tool does.
  DWORD scritti = 0;
  WriteFile(handle_, riga.data(), static_cast<DWORD>(riga.size()), &scritti, nullptr);
}

std::unique_ptr<TracciaWin32> TracciaWin32::SuFile(const std::string& file, std::string& errore) {
  // No security attributes: the handle is not inherited by the programs started.
  HANDLE h = CreateFileW(Wide(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    errore = "file della traccia non apribile: " + file + " (errore " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  return std::make_unique<TracciaWin32>(h, true);
}

}  // namespace cw
