#include "platform/windows/cartelle_programma_win32.h"

#include <windows.h>

#include <string>

namespace cw {

// The folder of the running program, as GetModuleFileNameW gives its file
// (long paths included); the current folder should the system not say.
std::filesystem::path CartellaEseguibile() {
  std::wstring nome(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
    if (n == 0) {
      std::error_code ec;
      return std::filesystem::current_path(ec);
    }
    if (n < nome.size()) {
      nome.resize(n);
      return std::filesystem::path(nome).parent_path();
    }
    nome.resize(nome.size() * 2);
  }
}

}  // namespace cw
