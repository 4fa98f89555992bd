#include "platform/linux/processes_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <vector>

#include "base/ansi.h"
#include "base/command_line.h"
#include "base/errors.h"
#include "platform/linux/attesa_linux.h"
#include "platform/linux/discendenza_linux.h"
#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/schermata_linux.h"
#include "platform/linux/spawn_linux.h"
#include "platform/traccia.h"

namespace cw {

namespace fs = std::filesystem;

namespace {

bool FileRegolare(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// A file named so in a host folder: that exact name, else one that matches
// ignoring letter case, as Windows would find it.
std::optional<fs::path> CercaInCartella(const fs::path& cartella, const std::string& nome) {
  if (cartella.empty()) return std::nullopt;
  if (FileRegolare(cartella / nome)) return cartella / nome;
  std::error_code ec;
  for (fs::directory_iterator it(cartella, ec), end; !ec && it != end; it.increment(ec)) {
    if (UgualiSenzaCasoAscii(it->path().filename().string(), nome) && FileRegolare(it->path())) return it->path();
  }
  return std::nullopt;
}

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

// The terminal a program shown in front gets for its wait, as a shell gives
// it to its foreground job: a viewer such as less reads its keys there, and
// in a group of its own it could not. Only when the tool is in front on its
// terminal; the tool takes it back when the wait ends.
class TerminaleCeduto {
 public:
  TerminaleCeduto(bool primoPiano, pid_t gruppo) : gruppo_(gruppo) {
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
  ~TerminaleCeduto() {
    if (fd_ < 0) return;
    // Not taken from a shell that has put the tool behind meanwhile.
    if (::tcgetpgrp(fd_) == gruppo_) MettiInPrimoPiano(fd_, ::getpgrp());
    ::close(fd_);
  }
  TerminaleCeduto(const TerminaleCeduto&) = delete;
  TerminaleCeduto& operator=(const TerminaleCeduto&) = delete;
  int Fd() const { return fd_; }

 private:
  pid_t gruppo_;
  int fd_ = -1;
};

}  // namespace

ProcessesLinux::ProcessesLinux() : ProcessesLinux(DriveTable::FromEnvironment()) {}

ProcessesLinux::ProcessesLinux(DriveTable drives) : ProcessesLinux(std::move(drives), Opzioni{}) {}

ProcessesLinux::ProcessesLinux(DriveTable drives, Opzioni opzioni)
    : drives_(std::move(drives)), opzioni_(std::move(opzioni)) {
  // Before any program: the guardian is there for the first.
  PreparaDiscendenza();
  if (opzioni_.cartellaProgramma.empty()) opzioni_.cartellaProgramma = CartellaEseguibile();
  agente_ = opzioni_.agente
                ? opzioni_.agente
                : std::make_shared<AgenteLinux>(
                      drives_, opzioni_.agenteWindows.empty() ? PercorsoAgentePredefinito() : opzioni_.agenteWindows,
                      opzioni_.percorsoRicerca);
  sveglia_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

ProcessesLinux::~ProcessesLinux() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    fine_ = true;
  }
  Sveglia();
  if (raccoglitore_.joinable()) raccoglitore_.join();
  // Whatever has ended by now is collected; children still running are left
  // to run, as on Windows.
  for (auto& [pid, figlio] : figli_) {
    if (!figlio.finito) RaccogliSeFinito(pid, figlio, false);
    if (figlio.pidfd >= 0) ::close(figlio.pidfd);
  }
  if (sveglia_ >= 0) ::close(sveglia_);
}

std::optional<fs::path> ProcessesLinux::TrovaProgramma(const std::string& programma) const {
  if (DriveTable::IsDrivePath(programma)) {
    auto host = drives_.Resolve(programma);
    if (host && FileRegolare(*host)) return host;
    return std::nullopt;
  }
  // An absolute host path names its program directly (a viewer given on
  // the batch command line, "/usr/bin/less").
  if (programma.starts_with("/")) {
    if (FileRegolare(programma)) return fs::path(programma);
    return std::nullopt;
  }
  if (programma.empty() || programma.find_first_of("\\/:") != std::string::npos) return std::nullopt;
  // A bare name: the program's own folder, then the system folders. As on
  // Windows, a name without an extension may stand for its ".exe".
  std::vector<std::string> nomi = {programma};
  if (programma.find('.') == std::string::npos) nomi.push_back(programma + ".exe");
  for (const auto& nome : nomi)
    if (auto p = CercaInCartella(opzioni_.cartellaProgramma, nome)) return p;
  for (const char* cartella : {"C:\\Windows\\System32\\", "C:\\Windows\\"}) {
    for (const auto& nome : nomi) {
      auto host = drives_.Resolve(cartella + nome);
      if (host && FileRegolare(*host)) return host;
    }
  }
  return std::nullopt;
}

std::uint32_t ProcessesLinux::Shell(const std::string& commandLine, int windowStyle) {
  return Avvia(commandLine, windowStyle, nullptr);
}

HandleProcesso ProcessesLinux::AvviaConHandle(const std::string& commandLine, int windowStyle) {
  HandleProcesso handle = 0;
  Avvia(commandLine, windowStyle, &handle);
  return handle;
}

std::uint32_t ProcessesLinux::Avvia(const std::string& commandLine, int windowStyle, HandleProcesso* handle) {
  std::vector<std::string> parole = SplitCommandLine(commandLine);
  if (parole.empty()) SollevaErrore(kFileNonTrovato, "riga di comando vuota");
  auto programma = TrovaProgramma(parole[0]);
  // An unquoted program path with blanks ("C:\Cartella con spazi\Il
  // Server.exe /RegServer") is found as Windows finds it: each longer part
  // of the line up to a blank is tried in turn, and the first that names a
  // program wins; the rest of the line is its arguments.
  const size_t inizio = commandLine.find_first_not_of(" \t");
  if (!programma && commandLine[inizio] != '"') {
    for (size_t blank = commandLine.find_first_of(" \t", inizio); blank != std::string::npos;) {
      const size_t dopo = commandLine.find_first_not_of(" \t", blank);
      if (dopo == std::string::npos) break;
      blank = commandLine.find_first_of(" \t", dopo);
      const std::string testa = commandLine.substr(inizio, blank == std::string::npos ? blank : blank - inizio);
      if (testa.find('"') != std::string::npos) break;
      if ((programma = TrovaProgramma(testa))) {
        // Split behind a stand-in program word, as the arguments follow one.
        parole = SplitCommandLine("x" + (blank == std::string::npos ? std::string() : commandLine.substr(blank)));
        parole.front() = testa;
        break;
      }
    }
  }
  if (!programma) SollevaErrore(kFileNonTrovato, "programma non trovato: " + parole[0], parole[0]);

  // The prefix the drive table uses (so a native stand-in resolves paths
  // through the same drives) and the window style.
  std::vector<std::string> variabili{std::string(kVariabileStileFinestra) + "=" + std::to_string(windowStyle)};
  std::vector<std::string> argomenti{programma->string()};
  argomenti.insert(argomenti.end(), parole.begin() + 1, parole.end());
  const bool windows = ComeProgrammaWindows(*programma);
  // The agent gives the program the line as written; wine started directly
  // would rebuild it from the words, quoting only those with blanks.
  if (windows && agente_->Presente()) return AvviaRemoto(*programma, commandLine, windowStyle, handle, parole[0]);
  AvvioProgramma avvio;
  if (windows) {
    auto sottoWine = AvvioSottoWine(std::move(argomenti), drives_.Prefix(), variabili, opzioni_.percorsoRicerca);
    if (!sottoWine) SollevaErrore(kFileNonTrovato, "programma Windows senza wine: " + programma->string(), parole[0]);
    avvio = std::move(*sottoWine);
  } else {
    avvio = AvvioProgramma{*programma, std::move(argomenti), AmbientePrefisso(drives_.Prefix(), variabili)};
  }
  // Nothing of the tool's own standard streams reaches a Windows program:
  // Wine's services, started by the first Wine program of a prefix, keep what
  // it inherited, and a caller's pipe (a CI log, "| tee") would then never
  // close.
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  if (windows) {
    posix_spawn_file_actions_addopen(&azioni, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t pid = 0;
  unsigned long discendenza = 0;
  int err = 0;
  {
    // A signal between the start and the registration would end the tool
    // and leave the program running: it waits until the program is
    // registered, and is then acted on here.
    AscoltoSegnale ascolto;
    // A group of its own: what a script or wine starts in turn is ended with
    // it on a signal.
    err = AvviaFiglio(pid, avvio.eseguibile, std::move(avvio.argomenti), std::move(avvio.ambiente),
                      windows ? &azioni : nullptr, true, &discendenza);
    if (err == 0) RegistraAvviato(pid);
  }
  posix_spawn_file_actions_destroy(&azioni);
  if (err != 0) SollevaErrore(kFileNonTrovato, avvio.eseguibile.string() + ": " + std::strerror(err), parole[0]);
  ScriviTraccia("avvio", [&] {
    return (windows ? "sotto Wine, caricatore " + avvio.eseguibile.string() + ", " : std::string("locale, ")) +
           "programma " + programma->string() + ", pid " + std::to_string(pid);
  });

  Figlio figlio;
  figlio.discendenza = discendenza;
  figlio.pidfd = PidfdOpen(pid);  // -1: the reaper falls back to polling
  figlio.primoPiano = windowStyle == kFinestraNormale;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (handle) {
      // Taken before the reaper can see it, which leaves it to the handle.
      figlio.maniglie = 1;
      *handle = nextHandle_;
      nextHandle_ += 4;
      maniglie_[*handle] = pid;
    }
    figli_[pid] = figlio;
    AvviaRaccoglitore();
  }
  Sveglia();
  if (const int s = SegnaleArrivato()) {
    ::kill(-pid, SIGKILL);
    throw FineSuSegnale{s};
  }
  return static_cast<std::uint32_t>(pid);
}

Attesa& ProcessesLinux::AttesaDaUsare() { return opzioni_.attesa ? *opzioni_.attesa : bloccata_; }

ProcessesLinux::Remoto* ProcessesLinux::RemotoDi(HandleProcesso handle) {
  auto h = maniglieRemote_.find(handle);
  if (h == maniglieRemote_.end()) return nullptr;
  auto r = remoti_.find(h->second);
  return r == remoti_.end() ? nullptr : &r->second;
}

std::uint32_t ProcessesLinux::AvviaRemoto(const fs::path& programma, const std::string& commandLine, int windowStyle,
                                          HandleProcesso* handle, const std::string& parola) {
  if (!agente_->ConWine())
    SollevaErrore(kFileNonTrovato, "programma Windows senza wine: " + programma.string(), parola);
  const AgenteLinux::Avviato avviato = agente_->AvviaProgramma(programma, commandLine, windowStyle, AttesaDaUsare());
  ScriviTraccia("avvio", [&] {
    return "dall'agente, programma " + programma.string() +
           (avviato.ok ? ", numero " + std::to_string(avviato.numero) : ", non avviato: " + avviato.errore);
  });
  if (!avviato.ok) SollevaErrore(kFileNonTrovato, programma.string() + ": " + avviato.errore, parola);
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint32_t pid = nextRemoto_++;
  Remoto& remoto = remoti_[pid];
  remoto.numero = avviato.numero;
  remoto.generazione = agente_->Generazione();
  if (handle) {
    remoto.maniglie = 1;
    *handle = nextHandle_;
    nextHandle_ += 4;
    maniglieRemote_[*handle] = pid;
  }
  return pid;
}

std::vector<FinestraMostrata> ProcessesLinux::FinestreMostrate(HandleProcesso handle) {
  Remoto remoto;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const Remoto* r = RemotoDi(handle);
    if (!r || r->finito) return {};
    remoto = *r;
  }
  return agente_->FinestreProgramma(remoto.numero, remoto.generazione, AttesaDaUsare());
}

bool ProcessesLinux::SalvaSchermata(const std::string& percorso) {
  const auto host = drives_.ResolveForCreate(percorso);
  return host && SalvaSchermataX11(*host);
}

HandleProcesso ProcessesLinux::OpenProcess(std::uint32_t /*access*/, bool /*inherit*/, std::uint32_t pid) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pid >= kPrimoRemoto) {
    auto r = remoti_.find(pid);
    if (r == remoti_.end()) return 0;
    ++r->second.maniglie;
    const HandleProcesso h = nextHandle_;
    nextHandle_ += 4;
    maniglieRemote_[h] = pid;
    return h;
  }
  auto it = figli_.find(static_cast<pid_t>(pid));
  if (it == figli_.end()) return 0;
  ++it->second.maniglie;
  const HandleProcesso h = nextHandle_;
  nextHandle_ += 4;
  maniglie_[h] = it->first;
  return h;
}

std::uint32_t ProcessesLinux::WaitForSingleObject(HandleProcesso handle, std::uint32_t milliseconds) {
  using Orologio = std::chrono::steady_clock;
  const bool infinito = milliseconds == kInfinite;
  const auto scadenza = Orologio::now() + std::chrono::milliseconds(milliseconds);
  pid_t pid = 0;
  int pidfd = -1;
  bool primoPiano = false;
  Remoto remoto;
  bool diAgente = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const Remoto* r = RemotoDi(handle)) {
      if (r->finito) return kWaitObject0;
      remoto = *r;
      diAgente = true;
    }
  }
  if (diAgente) {
    // A signal meanwhile ends the agent, and the program with it, and throws.
    std::uint32_t codice = 0;
    const AgenteLinux::Stato stato =
        agente_->AttendiProgramma(remoto.numero, remoto.generazione, milliseconds, AttesaDaUsare(), codice);
    if (stato == AgenteLinux::Stato::InCorso) return kWaitTimeout;
    if (stato == AgenteLinux::Stato::Perso) return kWaitFailed;
    std::lock_guard<std::mutex> lock(mutex_);
    if (Remoto* r = RemotoDi(handle)) {
      r->finito = true;
      r->exitCode = codice;
    }
    return kWaitObject0;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto h = maniglie_.find(handle);
    if (h == maniglie_.end()) return kWaitFailed;
    pid = h->second;
    Figlio& figlio = figli_.at(pid);
    if (figlio.finito) return kWaitObject0;
    pidfd = figlio.pidfd;
    primoPiano = figlio.primoPiano;
  }
  Attesa& attesa = AttesaDaUsare();
  const int segnale = DescrittoreSegnale();
  std::uint32_t esito = kWaitTimeout;
  int fine = 0;  // the signal that ends the tool
  RegistraDaTerminare(pid, true);
  {
    TerminaleCeduto terminale(primoPiano, pid);
    {
      AscoltoSegnale ascolto;
      for (;;) {
        int ms = -1;
        if (!infinito) {
          const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
          ms = static_cast<int>(std::clamp<long long>(resto, 0, INT_MAX));
        }
        if (pidfd < 0) ms = infinito ? 5 : std::min(ms, 5);  // no pidfd: poll the status
        // A stop is not told by the pidfd.
        if (terminale.Fd() >= 0) ms = ms < 0 ? 100 : std::min(ms, 100);
        OggettoAttesa p[2];
        std::size_t n = 0;
        if (pidfd >= 0) p[n++] = pidfd;
        if (segnale >= 0) p[n++] = segnale;
        if (attesa.Aspetta(p, n, ms) == kAttesaFallita && errno != EINTR) {
          esito = kWaitFailed;
          break;
        }
        if ((fine = SegnaleArrivato())) break;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          Figlio& figlio = figli_.at(pid);
          if (figlio.finito || RaccogliSeFinito(pid, figlio, false)) {
            esito = kWaitObject0;
            // Ctrl+C went to the program in front, not to the tool: the tool
            // ends as it would have with the terminal.
            if (terminale.Fd() >= 0 && figlio.segnale == SIGINT) fine = SIGINT;
            break;
          }
        }
        if (terminale.Fd() >= 0) RiprendiFermato(pid, terminale.Fd());
        if (!infinito && Orologio::now() >= scadenza) break;
      }
    }
    if (!fine) fine = SegnaleArrivato();
    // Before the terminal is taken back: a viewer puts it back as it was.
    if (fine) TerminaAtteso(pid);
  }
  TogliDaTerminare(pid, true);
  if (fine) throw FineSuSegnale{fine};
  return esito;
}

void ProcessesLinux::TerminaAtteso(pid_t pid) {
  // Asked first, so a viewer on the terminal can put it back as it was; a
  // stopped member is continued to hear it.
  ::kill(-pid, SIGTERM);
  ::kill(-pid, SIGCONT);
  unsigned long discendenza = 0;
  bool finito = false;
  for (int i = 0; i < 100 && !finito; ++i) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Figlio& figlio = figli_.at(pid);
      discendenza = figlio.discendenza;
      // The group is gone once its leader is reaped and no member is left.
      finito = (figlio.finito || RaccogliSeFinito(pid, figlio, false)) && ::kill(-pid, 0) < 0 && errno == ESRCH;
    }
    if (!finito) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // What left the group (a setsid) heard nothing of it.
  TerminaDiscendenza(discendenza);
  if (finito) return;
  ::kill(-pid, SIGKILL);
  std::lock_guard<std::mutex> lock(mutex_);
  Figlio& figlio = figli_.at(pid);
  if (!figlio.finito) RaccogliSeFinito(pid, figlio, true);
}

void ProcessesLinux::TerminateProcess(HandleProcesso handle) {
  {
    Remoto remoto;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Remoto* r = RemotoDi(handle);
      if (r && r->finito) return;
      if (r) remoto = *r;
    }
    if (remoto.numero) {
      agente_->TerminaProgramma(remoto.numero, remoto.generazione, AttesaDaUsare());
      std::uint32_t codice = 1;
      const bool finito = agente_->AttendiProgramma(remoto.numero, remoto.generazione, 0, AttesaDaUsare(), codice) ==
                          AgenteLinux::Stato::Finito;
      std::lock_guard<std::mutex> lock(mutex_);
      if (Remoto* r = RemotoDi(handle)) {
        // An agent that did not answer was ended, and the program with it.
        r->finito = true;
        r->exitCode = finito ? codice : 1;
      }
      return;
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  auto h = maniglie_.find(handle);
  if (h == maniglie_.end()) return;
  Figlio& figlio = figli_.at(h->second);
  if (figlio.finito) return;
  // The group is still there: its leader is not reaped yet.
  ::kill(-h->second, SIGKILL);
  TerminaDiscendenza(figlio.discendenza);
  RaccogliSeFinito(h->second, figlio, true);
}

void ProcessesLinux::RiprendiFermato(pid_t pid, int terminale) {
  // WSTOPPED alone: an exit stays for the wait to collect.
  siginfo_t info{};
  if (::waitid(P_PID, static_cast<id_t>(pid), &info, WSTOPPED | WNOHANG) < 0 || info.si_pid == 0) return;
  MettiInPrimoPiano(terminale, ::getpgrp());
  // The kernel stops no orphaned group (no shell is there to continue it):
  // the tool then goes on at once.
  ::kill(0, SIGTSTP);
  if (::tcgetpgrp(terminale) == ::getpgrp()) MettiInPrimoPiano(terminale, pid);
  ::kill(-pid, SIGCONT);
}

void ProcessesLinux::CloseHandle(HandleProcesso handle) {
  {
    Remoto remoto;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto h = maniglieRemote_.find(handle);
      if (h != maniglieRemote_.end()) {
        auto r = remoti_.find(h->second);
        maniglieRemote_.erase(h);
        if (r == remoti_.end() || --r->second.maniglie > 0) return;
        remoto = r->second;
        remoti_.erase(r);
      }
    }
    if (remoto.numero) {
      // The agent forgets one that has ended; one still running ends with it.
      agente_->ChiudiProgramma(remoto.numero, remoto.generazione, AttesaDaUsare());
      return;
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto h = maniglie_.find(handle);
    if (h == maniglie_.end()) return;
    auto it = figli_.find(h->second);
    maniglie_.erase(h);
    if (--it->second.maniglie > 0) return;
    if (it->second.finito) {
      if (it->second.pidfd >= 0) ::close(it->second.pidfd);
      figli_.erase(it);
      return;
    }
  }
  // Nobody holds it any more: the reaper takes it over.
  Sveglia();
}

bool ProcessesLinux::GetExitCodeProcess(HandleProcesso handle, std::uint32_t& code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (const Remoto* r = RemotoDi(handle)) {
    if (r->finito) code = r->exitCode;
    return r->finito;
  }
  auto h = maniglie_.find(handle);
  if (h == maniglie_.end()) return false;
  Figlio& figlio = figli_.at(h->second);
  if (!figlio.finito) return false;
  code = figlio.exitCode;
  return true;
}

std::size_t ProcessesLinux::FigliInCorso() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<std::size_t>(
      std::count_if(figli_.begin(), figli_.end(), [](const auto& f) { return !f.second.finito; }));
}

bool ProcessesLinux::RaccogliSeFinito(pid_t pid, Figlio& figlio, bool attendi) {
  siginfo_t info{};
  int r;
  do {
    r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | (attendi ? 0 : WNOHANG));
  } while (r < 0 && errno == EINTR);
  if (r < 0) {
    // ECHILD: collected elsewhere (SIGCHLD ignored by someone); it has ended.
    if (errno != ECHILD) return false;
    figlio.finito = true;
    TogliAvviato(pid);
    return true;
  }
  if (info.si_pid == 0) return false;
  figlio.finito = true;
  TogliAvviato(pid);
  figlio.segnale = info.si_code == CLD_EXITED ? 0 : info.si_status;
  figlio.exitCode = static_cast<std::uint32_t>(info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status);
  return true;
}

void ProcessesLinux::AvviaRaccoglitore() {
  if (!raccoglitore_.joinable()) raccoglitore_ = std::thread([this] { Raccoglitore(); });
}

void ProcessesLinux::Sveglia() {
  const std::uint64_t uno = 1;
  if (sveglia_ >= 0) (void)!::write(sveglia_, &uno, sizeof uno);
}

void ProcessesLinux::Raccoglitore() {
  std::vector<pollfd> fds;
  std::vector<pid_t> pids;
  for (;;) {
    bool senzaPidfd = false;
    fds.assign(1, pollfd{sveglia_, POLLIN, 0});
    pids.assign(1, 0);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (fine_) return;
      for (const auto& [pid, figlio] : figli_) {
        if (figlio.maniglie > 0 || figlio.finito) continue;
        if (figlio.pidfd < 0) {
          senzaPidfd = true;
          continue;
        }
        fds.push_back(pollfd{figlio.pidfd, POLLIN, 0});
        pids.push_back(pid);
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
    for (size_t i = 1; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      auto it = figli_.find(pids[i]);
      // A handle taken meanwhile: its wait reaps it and keeps the status.
      if (it == figli_.end() || it->second.maniglie > 0 || it->second.finito) continue;
      if (RaccogliSeFinito(it->first, it->second, false)) {
        ::close(it->second.pidfd);
        figli_.erase(it);
      }
    }
    if (senzaPidfd) {
      for (auto it = figli_.begin(); it != figli_.end();) {
        if (it->second.pidfd < 0 && it->second.maniglie == 0 && RaccogliSeFinito(it->first, it->second, false)) {
          it = figli_.erase(it);
        } else {
          ++it;
        }
      }
    }
  }
}

}  // namespace cw
