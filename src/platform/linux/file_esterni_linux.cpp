#include "platform/linux/file_esterni_linux.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/errors.h"
#include "platform/linux/sostituisci_file_linux.h"

namespace cw {

bool FileEsterniLinux::CartellaScrivibile(const std::filesystem::path& cartella) const {
  return ::access(cartella.c_str(), W_OK) == 0;
}

int FileEsterniLinux::SostituisciIntero(const std::filesystem::path& file, std::string_view contenuto) {
  struct stat st {};
  const bool esiste = ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  const int err = SostituisciFile(file.string(), contenuto, esiste ? &st : nullptr);
  // A missing entry can only be the folder: the file itself is being made.
  return err == 0 ? 0 : ErroreDaErrno(err, true);
}

}  // namespace cw
