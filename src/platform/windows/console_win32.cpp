#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "platform/console.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {

std::vector<std::string> ArgomentiProgramma(int argc, char** argv) {
  int n = 0;
  LPWSTR* parole = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (!parole) return {argv + 1, argv + argc};
  std::vector<std::string> argomenti;
  for (int i = 1; i < n; ++i) argomenti.push_back(Utf8(parole[i]));
  ::LocalFree(parole);
  return argomenti;
}

void PreparaConsole() { ::SetConsoleOutputCP(CP_UTF8); }

}  // namespace cw
