#include "platform/console.h"

namespace cw {

std::vector<std::string> ArgomentiProgramma(int argc, char** argv) { return {argv + 1, argv + argc}; }

void PreparaConsole() {}

}  // namespace cw
