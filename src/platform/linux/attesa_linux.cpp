#include "platform/linux/attesa_linux.h"

#include <poll.h>

#include <vector>

namespace cw {

int AttesaLinux::Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) {
  std::vector<pollfd> fds(n);
  for (std::size_t i = 0; i < n; ++i) fds[i] = pollfd{static_cast<int>(oggetti[i]), POLLIN, 0};
  const int pronti = ::poll(fds.data(), fds.size(), ms < 0 ? -1 : ms);
  if (pronti < 0) return kAttesaFallita;
  for (std::size_t i = 0; i < n; ++i)
    if (fds[i].revents != 0) return static_cast<int>(i);
  return kAttesaScaduta;
}

}  // namespace cw
