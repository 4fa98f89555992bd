#include "platform/linux/traccia_linux.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/riga_traccia.h"
#include "platform/linux/io_linux.h"

namespace cw {

TracciaLinux::TracciaLinux(int fd, bool proprio) : fd_(fd), proprio_(proprio) {}

TracciaLinux::~TracciaLinux() {
  if (proprio_) ::close(fd_);
}

void TracciaLinux::Scrivi(std::string_view tipo, std::string_view testo) {
  // A trace that cannot be written must not change what the tool does.
  [[maybe_unused]] const int err =
      ScriviTuttoFd(fd_, RigaTraccia(std::chrono::steady_clock::now() - inizio_, tipo, testo));
}

std::unique_ptr<TracciaLinux> TracciaLinux::SuFile(const std::string& file, std::string& errore) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) {
    errore = "file della traccia non apribile: " + file + " (" + std::strerror(errno) + ")";
    return nullptr;
  }
  return std::make_unique<TracciaLinux>(fd, true);
}

}  // namespace cw
