#pragma once
// The program's folders on Windows: its own from GetModuleFileNameW, and
// the helpers beside it. The platform's own files, and the tests built on
// it, ask the function directly.

#include <filesystem>

#include "platform/cartelle_programma.h"

namespace cw {

std::filesystem::path CartellaEseguibile();

class CartelleProgrammaWin32 : public CartelleProgramma {
 public:
  std::filesystem::path CartellaEseguibile() const override { return cw::CartellaEseguibile(); }
  // Installed or not, everything lies beside the program.
  std::filesystem::path CartellaAusiliari() const override { return cw::CartellaEseguibile(); }
};

}  // namespace cw
