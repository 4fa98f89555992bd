#include "platform/linux/raccoglitore_linux.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "platform/linux/fine_su_segnale_linux.h"

namespace cw {

bool RaccogliFiglio(pid_t pid, UscitaFiglio& uscita, bool attendi) {
  siginfo_t info{};
  int r;
  do {
    r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | (attendi ? 0 : WNOHANG));
  } while (r < 0 && errno == EINTR);
  if (r < 0) {
    // ECHILD: collected elsewhere (SIGCHLD ignored by someone); it has ended.
    if (errno != ECHILD) return false;
    uscita.finito = true;
    TogliAvviato(pid);
    return true;
  }
  if (info.si_pid == 0) return false;
  uscita.finito = true;
  TogliAvviato(pid);
  uscita.segnale = info.si_code == CLD_EXITED ? 0 : info.si_status;
  uscita.codice = static_cast<std::uint32_t>(info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status);
  return true;
}

RaccoglitoreLinux::RaccoglitoreLinux() : sveglia_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

RaccoglitoreLinux::~RaccoglitoreLinux() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    fine_ = true;
  }
  Sveglia();
  if (thread_.joinable()) thread_.join();
  for (auto& [pid, pidfd] : affidati_) {
    UscitaFiglio uscita;
    RaccogliFiglio(pid, uscita, false);
    if (pidfd >= 0) ::close(pidfd);
  }
  if (sveglia_ >= 0) ::close(sveglia_);
}

void RaccoglitoreLinux::Nato() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++inCorso_;
}

void RaccoglitoreLinux::Raccolto() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (inCorso_ > 0) --inCorso_;
}

std::size_t RaccoglitoreLinux::InCorso() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return inCorso_;
}

void RaccoglitoreLinux::Affida(pid_t pid, int pidfd) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    affidati_[pid] = pidfd;
    if (!thread_.joinable()) thread_ = std::thread([this] { Lavora(); });
  }
  Sveglia();
}

void RaccoglitoreLinux::Sveglia() {
  const std::uint64_t uno = 1;
  if (sveglia_ >= 0) (void)!::write(sveglia_, &uno, sizeof uno);
}

void RaccoglitoreLinux::Lavora() {
  std::vector<pollfd> fds;
  for (;;) {
    bool senzaPidfd = false;
    fds.assign(1, pollfd{sveglia_, POLLIN, 0});
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (fine_) return;
      for (const auto& [pid, pidfd] : affidati_) {
        if (pidfd < 0)
          senzaPidfd = true;
        else
          fds.push_back(pollfd{pidfd, POLLIN, 0});
      }
    }
    const int n = ::poll(fds.data(), fds.size(), senzaPidfd ? 100 : -1);
    if (n < 0 && errno != EINTR) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    if (fds[0].revents & POLLIN) {
      std::uint64_t valore;
      (void)!::read(sveglia_, &valore, sizeof valore);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (fine_) return;
    // Each one is asked, ready or not: cheap beside a program's life, and a
    // child without a pidfd is seen this way too.
    for (auto it = affidati_.begin(); it != affidati_.end();) {
      UscitaFiglio uscita;
      if (RaccogliFiglio(it->first, uscita, false)) {
        if (it->second >= 0) ::close(it->second);
        it = affidati_.erase(it);
        if (inCorso_ > 0) --inCorso_;
      } else {
        ++it;
      }
    }
  }
}

}  // namespace cw
