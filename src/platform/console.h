#pragma once
// The terminal program's edges: its arguments and its console, in UTF-8 as
// every text inside the tool is.

#include <string>
#include <vector>

namespace cw {

class Console {
 public:
  virtual ~Console() = default;
  // The arguments after the program's name. On Linux argv as it is; on
  // Windows the wide command line, so no word is narrowed to the ANSI code
  // page on the way in.
  virtual std::vector<std::string> ArgomentiProgramma(int argc, char** argv) const = 0;
  // On Windows the console shows what the program writes as UTF-8; on Linux
  // nothing to do.
  virtual void PreparaConsole() = 0;
  // Whether standard output is a terminal (not a file or a pipe).
  virtual bool UscitaSuTerminale() const = 0;
};

}  // namespace cw
