#pragma once
// How the tool's thread waits while a program it started runs: blocked in
// poll (the batch front end), or, in the window, running the event pump
// meanwhile, so that it keeps painting and answering the desktop.

#include <poll.h>

namespace cw {

class Attesa {
 public:
  virtual ~Attesa() = default;
  // As poll(2): until one of the descriptors is ready or ms pass (-1: no
  // limit); the number ready, 0 when the time has passed, -1 and errno on a
  // failure.
  virtual int Aspetta(pollfd* fds, nfds_t n, int ms) = 0;
};

// poll itself.
class AttesaBloccante : public Attesa {
 public:
  int Aspetta(pollfd* fds, nfds_t n, int ms) override { return ::poll(fds, n, ms); }
};

}  // namespace cw
