#pragma once
// A program the tool started as a Linux child of its own: a host program, a
// stand-in, or wine where there is no agent. It leads a process group of its
// own, so ending it ends what it started too, and carries its start's mark
// (platform/linux/discendenza_linux.h) for what left the group.

#include <memory>

#include <sys/types.h>

#include "platform/attesa.h"
#include "platform/linux/attesa_linux.h"
#include "platform/linux/raccoglitore_linux.h"
#include "platform/processi.h"

namespace cw {

class ProgrammaLocaleLinux : public ProgrammaAvviato {
 public:
  // attesa: how waits wait; null: blocked in poll. pidfd -1: its status is polled.
  ProgrammaLocaleLinux(pid_t pid, int pidfd, unsigned long discendenza, bool primoPiano, Attesa* attesa,
                       std::shared_ptr<RaccoglitoreLinux> raccoglitore);
  // One still running goes to the reaper.
  ~ProgrammaLocaleLinux() override;
  ProgrammaLocaleLinux(const ProgrammaLocaleLinux&) = delete;
  ProgrammaLocaleLinux& operator=(const ProgrammaLocaleLinux&) = delete;

  // Shown in front, it holds the terminal for the wait, as a shell's
  // foreground job; Ctrl+C there ends the tool as it would have with the
  // terminal.
  EsitoAttesa Attendi(std::chrono::milliseconds limite) override;
  std::optional<std::uint32_t> CodiceUscita() const override;
  // SIGKILL to its group and to its start's mark, then reaps it.
  void Termina() override;

  pid_t Pid() const { return pid_; }
  int Pidfd() const { return pidfd_; }

 private:
  bool Raccogli(bool attendi);
  // Asks its group to end, forces it after a grace, reaps its leader.
  void TerminaAtteso();

  pid_t pid_;
  int pidfd_;
  unsigned long discendenza_;
  bool primoPiano_;
  Attesa* attesa_;
  AttesaLinux bloccata_;
  std::shared_ptr<RaccoglitoreLinux> raccoglitore_;
  UscitaFiglio uscita_;
};

}  // namespace cw
