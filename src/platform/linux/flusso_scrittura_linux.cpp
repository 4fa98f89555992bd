#include "platform/linux/flusso_scrittura_linux.h"

#include <unistd.h>

#include <cerrno>

#include "base/errors.h"
#include "platform/linux/io_linux.h"

namespace cw {

unsigned long DestinazioneScritturaLinux::Scrivi(std::string_view dati) {
  return static_cast<unsigned long>(ScriviTuttoFd(fd_, dati));
}

unsigned long DestinazioneScritturaLinux::Chiudi() {
  // EINTR from close leaves the descriptor closed on Linux: nothing failed.
  if (::close(fd_) == 0 || errno == EINTR) return 0;
  return static_cast<unsigned long>(errno);
}

void DestinazioneScritturaLinux::Solleva(unsigned long codice, bool chiusura) {
  SollevaErroreErrno(static_cast<int>(codice), false, host_, chiusura ? "close" : "write", percorso_);
}

}  // namespace cw
