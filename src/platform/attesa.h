#pragma once
// How the tool's thread waits while a program it started runs: blocked (the
// batch front end), or, in the window, running the event pump meanwhile, so
// that it keeps painting and answering the desktop.

#ifdef _WIN32

namespace cw {

class Attesa {
 public:
  virtual ~Attesa() = default;
  // As WaitForMultipleObjects for any one of n handles (HANDLE values):
  // until one is signalled or ms pass (0xFFFFFFFF: no limit); WAIT_OBJECT_0
  // + the index of the one signalled, WAIT_TIMEOUT (258), or WAIT_FAILED
  // (0xFFFFFFFF) with GetLastError set.
  virtual unsigned long Aspetta(const void* const* handles, unsigned long n, unsigned long ms) = 0;
};

// WaitForMultipleObjects itself (windows/attesa_bloccante_win32.cpp).
class AttesaBloccante : public Attesa {
 public:
  unsigned long Aspetta(const void* const* handles, unsigned long n, unsigned long ms) override;
};

}  // namespace cw

#else

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

#endif
