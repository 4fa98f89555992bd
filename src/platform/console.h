#pragma once
// The terminal program's edges: its arguments and its console, in UTF-8 as
// every text inside the tool is.

#include <string>
#include <vector>

namespace cw {

// The arguments after the program's name. On Linux argv as it is; on
// Windows the wide command line, so no word is narrowed to the ANSI code
// page on the way in.
std::vector<std::string> ArgomentiProgramma(int argc, char** argv);

// On Windows the console shows what the program writes as UTF-8; on Linux
// nothing to do.
void PreparaConsole();

}  // namespace cw
