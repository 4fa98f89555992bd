#pragma once
// Ending the tool on a signal (SIGTERM, SIGINT or SIGHUP on Linux) without
// leaving behind the programs it waits for. A wait that a signal wakes ends
// its program and throws FineSuSegnale, which unwinds the command (the
// prefix lock let go, the registration worker ended by its owner) to the
// front end, which exits with 128 + the signal. How each platform gets there
// is its own (linux/fine_su_segnale_linux.h, windows/fine_su_segnale_win32.h).

namespace cw {

// Thrown by a wait that a signal woke, once its program has been ended.
struct FineSuSegnale {
  int segnale;
  int CodiceUscita() const { return 128 + segnale; }
};

class Segnali {
 public:
  virtual ~Segnali() = default;
  // Once, at the program's start, before anything is started: from then on
  // a signal ends the tool as above. Until then (the tests' own processes)
  // nothing changes.
  virtual void PreparaFineSuSegnale() = 0;
};

}  // namespace cw
