#pragma once
// The end on a signal on Linux. A wait for a program listens to
// DescrittoreSegnale() beside the program: woken, it ends the program, reaps
// it and throws FineSuSegnale. A signal that finds no wait listening ends
// the process at once with 128 + the signal, after killing what is
// registered to end with it. A closed output ends nothing: writes to it fail
// with EPIPE. The state is the process's own, as signals are; the
// platform's files (the processes, the registration sessions) use the
// functions here directly.

#include <sys/types.h>

#include "platform/fine_su_segnale.h"

namespace cw {

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

class SegnaliLinux : public Segnali {
 public:
  void PreparaFineSuSegnale() override { cw::PreparaFineSuSegnale(); }
};

}  // namespace cw
