#include "platform/linux/blocco_flock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace cw {

bool BloccoFlock::Prendi() {
  if (fd_ >= 0) return true;
  const int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return true;
  int r;
  do r = ::flock(fd, LOCK_EX | LOCK_NB);
  while (r != 0 && errno == EINTR);
  if (r != 0) {
    const bool tenuto = errno == EWOULDBLOCK;
    ::close(fd);
    return !tenuto;
  }
  fd_ = fd;
  return true;
}

void BloccoFlock::Lascia() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace cw
