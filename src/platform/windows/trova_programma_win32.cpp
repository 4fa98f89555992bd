#include "platform/windows/trova_programma_win32.h"

#include <windows.h>

#include "platform/windows/testo_wide_win32.h"

namespace cw {

std::optional<std::filesystem::path> TrovaProgrammaWin32(const std::string& programma) {
  const std::wstring nome = Wide(programma);
  if (nome.empty()) return std::nullopt;
  std::wstring trovato(MAX_PATH, L'\0');
  for (;;) {
    // A name with a folder is looked for there alone: SearchPathW does so.
    const DWORD n =
        SearchPathW(nullptr, nome.c_str(), L".exe", static_cast<DWORD>(trovato.size()), trovato.data(), nullptr);
    if (n == 0) return std::nullopt;
    if (n < trovato.size()) {
      trovato.resize(n);
      break;
    }
    trovato.resize(n);
  }
  const DWORD a = GetFileAttributesW(trovato.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return std::filesystem::path(trovato);
}

}  // namespace cw
