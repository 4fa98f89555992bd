#pragma once
// Ending the tool on SIGTERM, SIGINT or SIGHUP without leaving behind the
// programs it waits for. A wait for a program listens to Descrittore()
// beside the program: woken, it ends the program, reaps it and throws
// FineSuSegnale, which unwinds the command (the prefix lock let go, the
// registration worker's group ended by its owner) to the front end, which
// exits with 128 + the signal. A signal that finds no wait listening ends
// the process at once with that status, after killing what is registered to
// end with it. A closed output ends nothing: writes to it fail with EPIPE.

#include <sys/types.h>

namespace cw {

// Thrown by a wait that a signal woke, once its program has been ended.
struct FineSuSegnale {
  int segnale;
  int CodiceUscita() const { return 128 + segnale; }
};

// Once, at the program's start: SIGPIPE ignored, the three signals caught.
// Until then (the tests' own processes) nothing changes and Descrittore()
// is -1.
void PreparaFineSuSegnale();

// Readable from the first of the three signals on, for good; -1 before
// PreparaFineSuSegnale.
int DescrittoreSegnale();

// The signal that arrived; 0 while none has.
int SegnaleArrivato();

// While one lives, a signal only wakes the waits instead of ending the
// process; the wait that holds it must look at SegnaleArrivato() after it
// has let go.
class AscoltoSegnale {
 public:
  AscoltoSegnale();
  ~AscoltoSegnale();
  AscoltoSegnale(const AscoltoSegnale&) = delete;
  AscoltoSegnale& operator=(const AscoltoSegnale&) = delete;
};

// A process (or, with gruppo, the process group it leads) that a signal or
// the program's exit must end with the tool: SIGKILL, from the signal
// handler or an exit handler. Registered from its start until it is reaped.
void RegistraDaTerminare(pid_t pid, bool gruppo);
void TogliDaTerminare(pid_t pid, bool gruppo);

// A program started and not yet reaped, leading a process group of its own,
// whose group a signal must end with the tool even before anybody waits for
// it (the moment between starting a program and waiting for it); the
// program's normal exit leaves it be.
void RegistraAvviato(pid_t pid);
void TogliAvviato(pid_t pid);

}  // namespace cw
