#include "platform/windows/console_win32.h"

#include <io.h>
#include <windows.h>

#include <cstdio>
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

bool ConsoleWin32::UscitaSuTerminale() const { return ::_isatty(::_fileno(stdout)) != 0; }

}  // namespace cw
