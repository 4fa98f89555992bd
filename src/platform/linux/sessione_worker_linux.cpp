#include "platform/linux/sessione_worker_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/spawn_linux.h"
#include "platform/protocollo_worker.h"
#include "platform/risposta_worker.h"

extern char** environ;

namespace cw {

namespace {

// The report pipe's number in the worker.
constexpr int kFdRapporto = 3;

bool IniziaCon(std::string_view riga, std::string_view parola) {
  return riga.substr(0, parola.size()) == parola && (riga.size() == parola.size() || riga[parola.size()] == ' ');
}

}  // namespace

SessioneWorker::~SessioneWorker() {
  if (pid_ > 0 && !raccolto_) Termina();
  ChiudiDescrittori();
}

bool SessioneWorker::Avvia(const std::filesystem::path& worker, const std::string& entryPoint,
                           const std::filesystem::path& libreria, const std::filesystem::path& prefisso) {
  int tubo[2];
  if (::pipe2(tubo, O_CLOEXEC) < 0) return false;

  std::vector<std::string> argomenti = {worker.string(), std::to_string(kFdRapporto), entryPoint, libreria.string()};
  std::vector<std::string> ambiente;
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, "WINEPREFIX=", 11) != 0) ambiente.emplace_back(*e);
  ambiente.push_back("WINEPREFIX=" + prefisso.string());

  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_adddup2(&azioni, tubo[1], kFdRapporto);
  // A component must not read the tool's terminal.
  posix_spawn_file_actions_addopen(&azioni, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  // Its own group: one kill ends all it started.
  const int err = AvviaFiglio(pid, worker, std::move(argomenti), std::move(ambiente), &azioni, true);
  posix_spawn_file_actions_destroy(&azioni);
  ::close(tubo[1]);
  if (err != 0) {
    ::close(tubo[0]);
    return false;
  }
  pid_ = pid;
  // Whatever else ends the tool ends the group too.
  RegistraDaTerminare(pid_, true);
  rapporto_ = tubo[0];
  ::fcntl(rapporto_, F_SETFL, ::fcntl(rapporto_, F_GETFL) | O_NONBLOCK);
  pidfd_ = PidfdOpen(pid);  // -1: the end is polled for instead
  return true;
}

void SessioneWorker::LeggiRapporto() {
  char blocco[512];
  for (;;) {
    const ssize_t n = ::read(rapporto_, blocco, sizeof blocco);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // End of the report (every writer gone) or nothing more for now.
      if (n == 0) {
        ::close(rapporto_);
        rapporto_ = -1;
      }
      break;
    }
    buffer_.append(blocco, static_cast<size_t>(n));
  }
  size_t fine;
  while ((fine = buffer_.find('\n')) != std::string::npos) {
    const std::string riga = buffer_.substr(0, fine);
    buffer_.erase(0, fine + 1);
    if (IniziaCon(riga, worker::kEntryPointTrovato))
      entryPointTrovato_ = true;
    else if (!finale_)
      if (EsitoRegistrazione esito; RigaFinaleWorker(riga, esito)) finale_ = std::move(esito);
  }
}

EsitoRegistrazione SessioneWorker::Attendi(std::chrono::milliseconds limite, Attesa& attesa) {
  if (pid_ <= 0) return RispostaRegistrazione::NonAvviato;
  EsitoRegistrazione esito;
  {
    AscoltoSegnale ascolto;
    esito = Aspetta(limite, attesa);
  }
  if (const int segnale = SegnaleArrivato()) {
    Termina();
    throw FineSuSegnale{segnale};
  }
  return esito;
}

EsitoRegistrazione SessioneWorker::Aspetta(std::chrono::milliseconds limite, Attesa& attesa) {
  using Orologio = std::chrono::steady_clock;
  using R = RispostaRegistrazione;
  const int segnale = DescrittoreSegnale();
  auto scadenza = Orologio::now() + limite;
  for (;;) {
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
    if (resto <= 0) return R::TimeOut;
    int ms = static_cast<int>(std::min<long long>(resto, INT_MAX));
    if (pidfd_ < 0) ms = std::min(ms, 10);
    OggettoAttesa fds[3];
    std::size_t n = 0;
    if (pidfd_ >= 0) fds[n++] = pidfd_;
    if (rapporto_ >= 0) fds[n++] = rapporto_;
    if (segnale >= 0) fds[n++] = segnale;
    const int pronti = attesa.Aspetta(fds, n, ms);
    if (SegnaleArrivato()) return R::TimeOut;  // the caller ends it
    if (pronti == kAttesaFallita) {
      if (errno == EINTR) continue;
      return R::TimeOut;  // the wait failed: reported as the time-out is
    }
    if (rapporto_ >= 0) {
      const bool giaTrovato = entryPointTrovato_;
      LeggiRapporto();
      if (entryPointTrovato_ && !giaTrovato) scadenza = Orologio::now() + limite;
    }
    siginfo_t info{};
    const int flag = WEXITED | WNOHANG;
    if (::waitid(P_PID, static_cast<id_t>(pid_), &info, flag) < 0 || info.si_pid == 0) continue;
    raccolto_ = true;
    TogliDaTerminare(pid_, true);
    // Whatever it managed to write before it ended.
    if (rapporto_ >= 0) LeggiRapporto();
    ChiudiDescrittori();
    if (finale_) return *finale_;
    // Killed by a signal, or its entry point ended the process instead of
    // returning (a sanitizer reporting a crash does that): the component
    // failed.
    if (info.si_code != CLD_EXITED || entryPointTrovato_) return R::Errore;
    return R::NonAvviato;
  }
}

void SessioneWorker::Termina() {
  if (pid_ <= 0 || raccolto_) return;
  // The group is still there: its leader is not reaped yet.
  ::killpg(pid_, SIGKILL);
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED) < 0 && errno == EINTR) {
  }
  raccolto_ = true;
  TogliDaTerminare(pid_, true);
  ChiudiDescrittori();
}

void SessioneWorker::ChiudiDescrittori() {
  if (pidfd_ >= 0) ::close(pidfd_);
  if (rapporto_ >= 0) ::close(rapporto_);
  pidfd_ = rapporto_ = -1;
}

}  // namespace cw
