#pragma once
// The folder of the running program, and the one its helper programs lie in.

#include <filesystem>

namespace cw {

class CartelleProgramma {
 public:
  virtual ~CartelleProgramma() = default;
  // The host folder of the running executable, without a trailing separator
  // (the current folder should the system not say).
  virtual std::filesystem::path CartellaEseguibile() const = 0;
  // The folder of the tool's helper programs (the registration workers, the
  // windows/ folder of the Windows agents): on Linux, once installed,
  // lib/compilawexo beside the program's own folder (/usr/bin/compilawexo
  // finds /usr/lib/compilawexo); otherwise, as in a build tree and on
  // Windows, the program's own folder.
  virtual std::filesystem::path CartellaAusiliari() const = 0;
};

}  // namespace cw
