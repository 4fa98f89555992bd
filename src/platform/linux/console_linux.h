#pragma once
// The terminal program's edges on Linux: argv, and a console already in UTF-8.

#include "platform/console.h"

namespace cw {

class ConsoleLinux : public Console {
 public:
  std::vector<std::string> ArgomentiProgramma(int argc, char** argv) const override;
  void PreparaConsole() override;
  bool UscitaSuTerminale() const override;
};

}  // namespace cw
