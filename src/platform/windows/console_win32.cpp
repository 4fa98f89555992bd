#include "platform/windows/console_win32.h"

#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "platform/windows/testo_wide_win32.h"

namespace cw {

std::vector<std::string> ConsoleWin32::ArgomentiProgramma(int argc, char** argv) const {
  int n = 0;
  LPWSTR* parole = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (!parole) return {argv + 1, argv + argc};
  std::vector<std::string> argomenti;
  for (int i = 1; i < n; ++i) argomenti.push_back(Utf8(parole[i]));
  ::LocalFree(parole);
  return argomenti;
}

void ConsoleWin32::PreparaConsole() { ::SetConsoleOutputCP(CP_UTF8); }

}  // namespace cw
