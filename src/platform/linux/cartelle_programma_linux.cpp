#include "platform/linux/cartelle_programma_linux.h"

#include <system_error>

namespace cw {

namespace fs = std::filesystem;

fs::path CartellaEseguibile() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
}

fs::path CartellaAusiliari() {
  const fs::path programma = CartellaEseguibile();
  const fs::path installati = (programma / CW_AUSILIARI_INSTALLATI).lexically_normal();
  std::error_code ec;
  return fs::is_directory(installati, ec) ? installati : programma;
}

}  // namespace cw
