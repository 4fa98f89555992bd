#include "platform/linux/terminale_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace cw {

namespace {

// Sets the group in front on the terminal. From behind, SIGTTOU is held off
// for the call, as a shell does when it takes the terminal back.
void MettiInPrimoPiano(int terminale, pid_t gruppo) {
  sigset_t ttou, prima;
  sigemptyset(&ttou);
  sigaddset(&ttou, SIGTTOU);
  ::pthread_sigmask(SIG_BLOCK, &ttou, &prima);
  while (::tcsetpgrp(terminale, gruppo) < 0 && errno == EINTR) {
  }
  ::pthread_sigmask(SIG_SETMASK, &prima, nullptr);
}

}  // namespace

TerminaleCeduto::TerminaleCeduto(bool primoPiano, pid_t gruppo) : gruppo_(gruppo) {
  if (!primoPiano) return;
  fd_ = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return;
  if (::tcgetpgrp(fd_) == ::getpgrp()) {
    MettiInPrimoPiano(fd_, gruppo_);
  } else {
    ::close(fd_);
    fd_ = -1;
  }
}

TerminaleCeduto::~TerminaleCeduto() {
  if (fd_ < 0) return;
  // Not taken from a shell that has put the tool behind meanwhile.
  if (::tcgetpgrp(fd_) == gruppo_) MettiInPrimoPiano(fd_, ::getpgrp());
  ::close(fd_);
}

void TerminaleCeduto::RiprendiSeFermato() {
  if (fd_ < 0) return;
  // WSTOPPED alone: an exit stays for the wait to collect.
  siginfo_t info{};
  if (::waitid(P_PID, static_cast<id_t>(gruppo_), &info, WSTOPPED | WNOHANG) < 0 || info.si_pid == 0) return;
  MettiInPrimoPiano(fd_, ::getpgrp());
  // The kernel stops no orphaned group (no shell is there to continue it):
  // the tool then goes on at once.
  ::kill(0, SIGTSTP);
  if (::tcgetpgrp(fd_) == ::getpgrp()) MettiInPrimoPiano(fd_, gruppo_);
  ::kill(-gruppo_, SIGCONT);
}

}  // namespace cw
