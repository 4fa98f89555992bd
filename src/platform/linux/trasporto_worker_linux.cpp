#include "platform/linux/trasporto_worker_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <system_error>
#include <vector>

#include "base/righe.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/io_linux.h"

namespace cw {

namespace {

using Orologio = std::chrono::steady_clock;

// A program that has ended must not end the tool with SIGPIPE, whatever the
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

std::filesystem::path PercorsoWorkerPredefinito() { return CartellaAusiliari() / kNomeWorker; }

TrasportoWorkerLinux::~TrasportoWorkerLinux() {
  if (entrata_ >= 0) {
    ::close(entrata_);
    entrata_ = -1;
  }
  // Given a moment to end by itself after its input has closed; a program
  // that is still there is ended with its group.
  if (pid_ > 0 && pidfd_ >= 0) {
    pollfd fd{pidfd_, POLLIN, 0};
    ::poll(&fd, 1, 2000);
  }
  Termina();
}

std::unique_ptr<TrasportoWorkerLinux> TrasportoWorkerLinux::Avvia(AvvioProgramma avvio, bool sottoWine,
                                                                  const std::filesystem::path& prefisso) {
  int entrata[2], uscita[2];
  if (::pipe2(entrata, O_CLOEXEC) < 0) return nullptr;
  if (::pipe2(uscita, O_CLOEXEC) < 0) {
    ::close(entrata[0]);
    ::close(entrata[1]);
    return nullptr;
  }
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_adddup2(&azioni, entrata[0], 0);
  posix_spawn_file_actions_adddup2(&azioni, uscita[1], 1);
  // Not the tool's standard error: Wine's services, started by the first Wine
  // program of a prefix, would keep it, and a caller's pipe never closes.
  // A file in memory keeps what Wine says of a start that fails.
  const int errori = sottoWine ? ::memfd_create("cw-wine-stderr", MFD_CLOEXEC) : -1;
  if (errori >= 0)
    posix_spawn_file_actions_adddup2(&azioni, errori, 2);
  else if (sottoWine)
    posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  // Its own group: one kill ends all it started.
  const int err = AvviaFiglio(pid, avvio.eseguibile, std::move(avvio.argomenti), std::move(avvio.ambiente), &azioni,
                              /*gruppoProprio=*/true);
  posix_spawn_file_actions_destroy(&azioni);
  ::close(entrata[0]);
  ::close(uscita[1]);
  if (err != 0) {
    ::close(entrata[1]);
    ::close(uscita[0]);
    if (errori >= 0) ::close(errori);
    return nullptr;
  }
  std::unique_ptr<TrasportoWorkerLinux> t(new TrasportoWorkerLinux);
  t->pid_ = pid;
  t->errori_ = errori;
  // Whatever else ends the tool ends the group too.
  RegistraDaTerminare(pid, true);
  t->entrata_ = entrata[1];
  t->uscita_ = uscita[0];
  ::fcntl(t->uscita_, F_SETFL, ::fcntl(t->uscita_, F_GETFL) | O_NONBLOCK);
  t->pidfd_ = PidfdOpen(pid);  // -1: the end is polled for instead
  if (sottoWine) t->avvioWine_ = std::make_unique<AttesaAvvioWine>(prefisso);
  return t;
}

bool TrasportoWorkerLinux::Scrivi(std::string_view riga) {
  return pid_ > 0 && entrata_ >= 0 && ScriviSenzaSigpipe(entrata_, std::string(riga) + '\n');
}

LetturaRiga TrasportoWorkerLinux::Leggi(std::string& riga, Orologio::time_point scadenza, Attesa& attesa) {
  LetturaRiga l;
  {
    // A signal ends the wait as the time-out does; the program is then ended here.
    AscoltoSegnale ascolto;
    // The first line under Wine: its start in the prefix is told of once it has taken a second.
    for (;;) {
      const int ms = avvioWine_ ? avvioWine_->Limite(-1) : -1;
      l = LeggiRiga(riga, ms < 0 ? scadenza : std::min(scadenza, Orologio::now() + std::chrono::milliseconds(ms)),
                    attesa);
      if (!avvioWine_) break;
      avvioWine_->Controlla();
      if (l != LetturaRiga::Scaduto || Orologio::now() >= scadenza || SegnaleArrivato()) {
        avvioWine_.reset();
        break;
      }
    }
  }
  if (const int segnale = SegnaleArrivato()) {
    Termina();
    throw FineSuSegnale{segnale};
  }
  return l;
}

LetturaRiga TrasportoWorkerLinux::LeggiRiga(std::string& riga, Orologio::time_point scadenza, Attesa& attesa) {
  const int segnale = DescrittoreSegnale();
  for (;;) {
    if (PrendiRiga(buffer_, riga)) return LetturaRiga::Riga;
    if (uscita_ < 0) return LetturaRiga::Fine;
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
    if (resto <= 0) return LetturaRiga::Scaduto;
    int ms = static_cast<int>(std::min<long long>(resto, INT_MAX));
    OggettoAttesa fds[3];
    std::size_t n = 0;
    fds[n++] = uscita_;
    // The program's end too: a program it started may hold its output open.
    if (pidfd_ >= 0)
      fds[n++] = pidfd_;
    else
      ms = std::min(ms, 10);
    if (segnale >= 0) fds[n++] = segnale;
    const int pronti = attesa.Aspetta(fds, n, ms);
    if (SegnaleArrivato()) return LetturaRiga::Scaduto;  // the caller ends it
    if (pronti == kAttesaFallita) {
      if (errno == EINTR) continue;
      return LetturaRiga::Scaduto;  // the wait failed: reported as the time-out is
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
      return LetturaRiga::Fine;
    }
  }
}

void TrasportoWorkerLinux::Termina() {
  if (pid_ <= 0) return;
  // The group is still there: its leader is not reaped yet.
  ::killpg(pid_, SIGKILL);
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED) < 0 && errno == EINTR) {
  }
  TogliDaTerminare(pid_, true);
  pid_ = -1;
  ChiudiDescrittori();
}

std::string TrasportoWorkerLinux::UltimeRigheErrore(std::size_t righe) const {
  return errori_ < 0 ? std::string() : UltimeRighe(errori_, righe);
}

void TrasportoWorkerLinux::ChiudiDescrittori() {
  for (int* fd : {&pidfd_, &entrata_, &uscita_, &errori_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  buffer_.clear();
}

AvvioWorkerLinux::AvvioWorkerLinux(DriveTable drives, std::filesystem::path worker, std::filesystem::path agente)
    : AvvioWorkerLinux(drives, std::move(worker), std::make_shared<AgenteLinux>(drives, std::move(agente))) {}

AvvioWorkerLinux::AvvioWorkerLinux(DriveTable drives, std::filesystem::path worker, std::shared_ptr<AgenteLinux> agente)
    : drives_(std::move(drives)), worker_(std::move(worker)), agente_(std::move(agente)) {}

LibreriaTrovata AvvioWorkerLinux::Trova(const std::string& percorso, std::size_t massimo) {
  using S = LibreriaTrovata::Stato;
  LibreriaTrovata libreria;
  const auto host = drives_.Resolve(percorso);
  std::error_code ec;
  if (!host || !std::filesystem::exists(*host, ec)) return libreria;
  libreria.stato = std::filesystem::is_directory(*host, ec)       ? S::Cartella
                   : !std::filesystem::is_regular_file(*host, ec) ? S::NonFile
                                                                  : S::File;
  if (libreria.stato != S::File) return libreria;
  libreria.percorsoHost = host->string();
  const int fd = ::open(host->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return libreria;  // the worker's loader will say why
  struct stat st;
  if (::fstat(fd, &st) == 0) {
    libreria.dimensione = static_cast<std::uint64_t>(st.st_size);
    libreria.testa.resize(massimo);
    size_t n = 0;
    while (n < massimo) {
      const ssize_t letti = ::read(fd, libreria.testa.data() + n, massimo - n);
      if (letti < 0 && errno == EINTR) continue;
      if (letti <= 0) break;
      n += static_cast<size_t>(letti);
    }
    libreria.testa.resize(n);
  }
  ::close(fd);
  return libreria;
}

int AvvioWorkerLinux::BitWorkerWindows() const { return agente_->Bit(); }

WorkerAvviato AvvioWorkerLinux::Avvia(TipoWorker tipo) {
  WorkerAvviato avviato;
  if (tipo == TipoWorker::Windows) {
    avviato.senzaWine = !agente_->ConWine();
    avviato.limiteAvvio = kLimiteAvvioWine;
    if (!avviato.senzaWine) avviato.trasporto = VistaRegistrazione(*agente_);
    return avviato;
  }
  avviato.limiteAvvio = kLimiteAvvioWorkerLinux;
  avviato.trasporto =
      TrasportoWorkerLinux::Avvia(AvvioProgramma{worker_, {worker_.string()}, AmbientePrefisso(drives_.Prefix())});
  return avviato;
}

}  // namespace cw
