#pragma once
// The program's folders on Linux: its own from /proc/self/exe. The
// platform's own files, and the Linux programs and tests built on it, ask
// the two functions directly.

#include <filesystem>

#include "platform/cartelle_programma.h"

namespace cw {

std::filesystem::path CartellaEseguibile();
std::filesystem::path CartellaAusiliari();

class CartelleProgrammaLinux : public CartelleProgramma {
 public:
  std::filesystem::path CartellaEseguibile() const override { return cw::CartellaEseguibile(); }
  std::filesystem::path CartellaAusiliari() const override { return cw::CartellaAusiliari(); }
};

}  // namespace cw
