#pragma once
// The terminal program's edges on Windows: the wide command line, and the
// console's output code page.

#include "platform/console.h"

namespace cw {

class ConsoleWin32 : public Console {
 public:
  std::vector<std::string> ArgomentiProgramma(int argc, char** argv) const override;
  void PreparaConsole() override;
  bool UscitaSuTerminale() const override;
};

}  // namespace cw
