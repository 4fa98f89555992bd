#include "platform/linux/console_linux.h"

#include <unistd.h>

namespace cw {

std::vector<std::string> ConsoleLinux::ArgomentiProgramma(int argc, char** argv) const {
  return {argv + 1, argv + argc};
}

void ConsoleLinux::PreparaConsole() {}

bool ConsoleLinux::UscitaSuTerminale() const { return ::isatty(STDOUT_FILENO) != 0; }

}  // namespace cw
