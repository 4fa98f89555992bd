#include "platform/linux/blocco_prefisso_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cw {
namespace {

std::string Ragione(int err) {
  switch (err) {
    case ENOENT: return "la cartella non esiste";
    case ENOTDIR: return "non è una cartella";
    case EACCES:
    case EPERM: return "accesso negato";
    case ENOLCK:
    case EOPNOTSUPP:
    case EINVAL:
    case EBADF: return "il file system non consente il blocco";
    default: return std::strerror(err);
  }
}

}  // namespace

PresaBlocco BloccoPrefissoLinux::Prendi() {
  if (fd_ >= 0) return PresaBlocco::Presa;
  // Close-on-exec: a build or a server left running must not keep it.
  const int fd = ::open(cartella_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  int err = errno;
  if (fd >= 0) {
    int r;
    do r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r == 0) {
      fd_ = fd;
      return PresaBlocco::Presa;
    }
    err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return PresaBlocco::Occupata;
  }
  motivo_ = "Impossibile bloccare la cartella \"" + cartella_.string() +
            "\" contro un'altra istanza di CompilaWexo: " + Ragione(err) + ". Nessun file è stato modificato.";
  return PresaBlocco::Impossibile;
}

void BloccoPrefissoLinux::Lascia() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace cw
