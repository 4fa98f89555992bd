#pragma once
// Every child the tool starts is reaped: by the wait that sees it end, or,
// once nobody holds it any more, by a background thread as it ends. So no
// zombie stays behind however a program is let go of.

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

#include <sys/types.h>

namespace cw {

struct UscitaFiglio {
  bool finito = false;
  std::uint32_t codice = 0;  // its exit status, or 128 plus the signal that ended it
  int segnale = 0;           // the signal that ended it, 0 for an exit
};

// Reaps pid if it has ended (with attendi, waits for its end); true when it
// has, with how it ended in uscita.
bool RaccogliFiglio(pid_t pid, UscitaFiglio& uscita, bool attendi);

class RaccoglitoreLinux {
 public:
  RaccoglitoreLinux();
  // Whatever has ended by now is collected; children still running are left
  // to run, as on Windows.
  ~RaccoglitoreLinux();
  RaccoglitoreLinux(const RaccoglitoreLinux&) = delete;
  RaccoglitoreLinux& operator=(const RaccoglitoreLinux&) = delete;

  // A child started, and one reaped by its own wait.
  void Nato();
  void Raccolto();
  // A running child nobody waits for any more; pidfd (-1: none, polled) is
  // the reaper's from now on.
  void Affida(pid_t pid, int pidfd);
  // Children started and not yet reaped.
  std::size_t InCorso() const;

 private:
  void Lavora();
  void Sveglia();

  mutable std::mutex mutex_;
  std::map<pid_t, int> affidati_;  // pid, pidfd
  std::size_t inCorso_ = 0;
  int sveglia_ = -1;  // eventfd that wakes the thread
  bool fine_ = false;
  std::thread thread_;
};

}  // namespace cw
