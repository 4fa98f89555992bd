#include "platform/windows/file_esterni_win32.h"

#include <io.h>
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/windows/errori_win32.h"

namespace cw {

bool FileEsterniWin32::CartellaScrivibile(const std::filesystem::path& cartella) const {
  return ::_waccess(cartella.c_str(), 2) == 0;
}

int FileEsterniWin32::SostituisciIntero(const std::filesystem::path& file, std::string_view contenuto) {
  static std::atomic<unsigned> contatore{0};
  std::wstring provvisorio;
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int tentativo = 0; tentativo < 100 && h == INVALID_HANDLE_VALUE; ++tentativo) {
    provvisorio =
        (file.parent_path() / (L"." + file.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(contatore++) + L".tmp"))
            .wstring();
    h = CreateFileW(provvisorio.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return ErroreDaWin32(GetLastError(), true);
  }
  if (h == INVALID_HANDLE_VALUE) return ErroreDaWin32(ERROR_FILE_EXISTS, true);
  DWORD err = 0;
  for (std::string_view resto = contenuto; !resto.empty() && !err;) {
    DWORD scritti = 0;
    const DWORD parte = resto.size() > (1u << 20) ? (1u << 20) : static_cast<DWORD>(resto.size());
    if (!WriteFile(h, resto.data(), parte, &scritti, nullptr))
      err = GetLastError();
    else if (scritti == 0)
      err = ERROR_WRITE_FAULT;
    resto.remove_prefix(scritti);
  }
  if (!err && !FlushFileBuffers(h)) err = GetLastError();
  if (!CloseHandle(h) && !err) err = GetLastError();
  // Write-through: the call returns once the new name is on the disk.
  if (!err && !MoveFileExW(provvisorio.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    err = GetLastError();
  if (err) {
    DeleteFileW(provvisorio.c_str());
    return ErroreDaWin32(err, true);
  }
  return 0;
}

}  // namespace cw
