#include "platform/linux/sessione_worker_wine_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/io_linux.h"
#include "platform/linux/spawn_linux.h"
#include "platform/protocollo_worker.h"
#include "platform/risposta_worker.h"

extern char** environ;

namespace cw {

namespace {

using Orologio = std::chrono::steady_clock;

std::vector<std::string> Ambiente(const std::filesystem::path& prefisso) {
  std::vector<std::string> ambiente;
  bool debug = false;
  for (char** e = environ; e && *e; ++e) {
    if (std::strncmp(*e, "WINEPREFIX=", 11) == 0) continue;
    debug = debug || std::strncmp(*e, "WINEDEBUG=", 10) == 0;
    ambiente.emplace_back(*e);
  }
  ambiente.push_back("WINEPREFIX=" + prefisso.string());
  // Wine's own diagnostics would only fill the tool's terminal.
  if (!debug) ambiente.push_back("WINEDEBUG=-all");
  return ambiente;
}

// A worker that has ended must not end the tool with SIGPIPE, whatever the
// process has set for it: the signal is held back for this thread and, when
// the write raised it, taken off again.
bool ScriviSenzaSigpipe(int fd, std::string_view testo) {
  sigset_t pipe, prima;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  sigset_t attesi;
  sigpending(&attesi);
  const bool giaAtteso = sigismember(&attesi, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &prima);
  const int err = ScriviTuttoFd(fd, testo);
  if (err == EPIPE && !giaAtteso) {
    const timespec subito{0, 0};
    while (sigtimedwait(&pipe, nullptr, &subito) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &prima, nullptr);
  return err == 0;
}

}  // namespace

SessioneWorkerWindows::~SessioneWorkerWindows() {
  if (entrata_ >= 0) {
    ::close(entrata_);
    entrata_ = -1;
  }
  // Given a moment to end by itself after its input has closed; a worker
  // that is still there is ended with its group.
  if (pid_ > 0 && pidfd_ >= 0) {
    pollfd fd{pidfd_, POLLIN, 0};
    ::poll(&fd, 1, 2000);
  }
  Termina();
}

bool SessioneWorkerWindows::Avvia(const std::filesystem::path& wine, const std::filesystem::path& worker,
                                  const std::filesystem::path& prefisso, std::chrono::milliseconds limiteAvvio,
                                  Attesa& attesa) {
  Termina();
  int entrata[2], uscita[2];
  if (::pipe2(entrata, O_CLOEXEC) < 0) return false;
  if (::pipe2(uscita, O_CLOEXEC) < 0) {
    ::close(entrata[0]);
    ::close(entrata[1]);
    return false;
  }
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_adddup2(&azioni, entrata[0], 0);
  posix_spawn_file_actions_adddup2(&azioni, uscita[1], 1);
  pid_t pid = 0;
  // Its own group: one kill ends all it started.
  const int err =
      AvviaFiglio(pid, wine, {"wine", worker.string()}, Ambiente(prefisso), &azioni, /*gruppoProprio=*/true);
  posix_spawn_file_actions_destroy(&azioni);
  ::close(entrata[0]);
  ::close(uscita[1]);
  if (err != 0) {
    ::close(entrata[1]);
    ::close(uscita[0]);
    return false;
  }
  pid_ = pid;
  RegistraDaTerminare(pid_, true);
  entrata_ = entrata[1];
  uscita_ = uscita[0];
  ::fcntl(uscita_, F_SETFL, ::fcntl(uscita_, F_GETFL) | O_NONBLOCK);
  pidfd_ = PidfdOpen(pid);  // -1: the end is polled for instead
  buffer_.clear();

  std::string riga;
  LetturaWorker l;
  {
    AscoltoSegnale ascolto;
    l = LeggiRiga(riga, Orologio::now() + limiteAvvio, attesa);
  }
  ControllaSegnale();
  if (l == LetturaWorker::Riga && riga == worker::kPronto) return true;
  Termina();
  return false;
}

EsitoRegistrazione SessioneWorkerWindows::Chiedi(const std::string& entryPoint, const std::string& percorsoWindows,
                                                 std::chrono::milliseconds limite, Attesa& attesa) {
  using R = RispostaRegistrazione;
  if (pid_ <= 0) return R::NonAvviato;
  const std::string richiesta = entryPoint + '\t' + percorsoWindows + '\n';
  if (!ScriviSenzaSigpipe(entrata_, richiesta)) {
    Termina();
    return R::NonAvviato;
  }
  EsitoRegistrazione esito;
  {
    AscoltoSegnale ascolto;
    // A signal ends the wait as the time-out does.
    esito = LeggiRispostaWorker(
        limite, [&](std::string& riga, Orologio::time_point scadenza) { return LeggiRiga(riga, scadenza, attesa); });
  }
  ControllaSegnale();
  // A worker that has crashed is not asked again.
  if (esito.risposta == R::Errore || esito.risposta == R::NonAvviato) Termina();
  return esito;
}

LetturaWorker SessioneWorkerWindows::LeggiRiga(std::string& riga, Orologio::time_point scadenza, Attesa& attesa) {
  const int segnale = DescrittoreSegnale();
  for (;;) {
    if (const size_t fine = buffer_.find('\n'); fine != std::string::npos) {
      riga = buffer_.substr(0, fine);
      buffer_.erase(0, fine + 1);
      if (!riga.empty() && riga.back() == '\r') riga.pop_back();
      return LetturaWorker::Riga;
    }
    if (uscita_ < 0) return LetturaWorker::Fine;
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
    if (resto <= 0) return LetturaWorker::Scaduto;
    int ms = static_cast<int>(std::min<long long>(resto, INT_MAX));
    OggettoAttesa fds[3];
    std::size_t n = 0;
    fds[n++] = uscita_;
    // The worker's end too: a program it started may hold its output open.
    if (pidfd_ >= 0)
      fds[n++] = pidfd_;
    else
      ms = std::min(ms, 10);
    if (segnale >= 0) fds[n++] = segnale;
    const int pronti = attesa.Aspetta(fds, n, ms);
    if (SegnaleArrivato()) return LetturaWorker::Scaduto;  // the caller ends it
    if (pronti == kAttesaFallita) {
      if (errno == EINTR) continue;
      return LetturaWorker::Scaduto;  // the wait failed: reported as the time-out is
    }
    char blocco[512];
    for (;;) {
      const ssize_t letti = ::read(uscita_, blocco, sizeof blocco);
      if (letti < 0 && errno == EINTR) continue;
      if (letti > 0) {
        buffer_.append(blocco, static_cast<size_t>(letti));
        continue;
      }
      if (letti == 0) {
        ::close(uscita_);
        uscita_ = -1;
      }
      break;
    }
    if (buffer_.find('\n') != std::string::npos) continue;
    // Ended, with nothing more to read.
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0) {
      for (;;) {  // whatever it wrote before it ended
        const ssize_t letti = uscita_ >= 0 ? ::read(uscita_, blocco, sizeof blocco) : 0;
        if (letti <= 0) break;
        buffer_.append(blocco, static_cast<size_t>(letti));
      }
      if (buffer_.find('\n') != std::string::npos) continue;
      return LetturaWorker::Fine;
    }
  }
}

void SessioneWorkerWindows::ControllaSegnale() {
  if (const int segnale = SegnaleArrivato()) {
    Termina();
    throw FineSuSegnale{segnale};
  }
}

void SessioneWorkerWindows::Termina() {
  if (pid_ <= 0) return;
  // The group is still there: its leader is not reaped yet.
  ::killpg(pid_, SIGKILL);
  Raccogli();
}

void SessioneWorkerWindows::Raccogli() {
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED) < 0 && errno == EINTR) {
  }
  TogliDaTerminare(pid_, true);
  pid_ = -1;
  ChiudiDescrittori();
}

void SessioneWorkerWindows::ChiudiDescrittori() {
  for (int* fd : {&pidfd_, &entrata_, &uscita_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  buffer_.clear();
}

}  // namespace cw
