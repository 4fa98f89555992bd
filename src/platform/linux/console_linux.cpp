#include "platform/linux/console_linux.h"

namespace cw {

std::vector<std::string> ConsoleLinux::ArgomentiProgramma(int argc, char** argv) const {
  return {argv + 1, argv + argc};
}

void ConsoleLinux::PreparaConsole() {}

}  // namespace cw
