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
#include "platform/linux/avviso_wine_linux.h"
#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/io_linux.h"
#include "platform/linux/protocollo_avvio_linux.h"
#include "platform/linux/schermata_linux.h"
#include "platform/linux/spawn_linux.h"

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

// How long the launcher may take to say that its program has started: Wine's
// first start in a new prefix takes several seconds. Past it the wait for the
// program goes on as for any other.
constexpr std::chrono::milliseconds kLimiteAvvioLauncher{60000};
// How long the launcher may take to read the windows of its program.
constexpr std::chrono::milliseconds kLimiteLetturaFinestre{5000};

void ChiudiCanale(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// A launcher that has ended must not end the tool with SIGPIPE, whatever the
// process has set for it: the signal is held back for this thread and, when
// the write raised it, taken off again.
bool ScriviSenzaSigpipe(int fd, std::string_view testo) {
  sigset_t pipe, prima, attesi;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  sigpending(&attesi);
  const bool giaAtteso = sigismember(&attesi, SIGPIPE);
  ::pthread_sigmask(SIG_BLOCK, &pipe, &prima);
  const int err = ScriviTuttoFd(fd, testo);
  if (err == EPIPE && !giaAtteso) {
    const timespec subito{0, 0};
    while (::sigtimedwait(&pipe, nullptr, &subito) < 0 && errno == EINTR) {
    }
  }
  ::pthread_sigmask(SIG_SETMASK, &prima, nullptr);
  return err == 0;
}

// Reads what is there without blocking; false once the other end has closed.
bool LeggiDisponibile(int fd, std::string& letto) {
  char blocco[4096];
  for (;;) {
    const ssize_t n = ::read(fd, blocco, sizeof blocco);
    if (n > 0) {
      letto.append(blocco, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);  // open, nothing more now
  }
}

}  // namespace

ProcessesLinux::ProcessesLinux() : ProcessesLinux(DriveTable::FromEnvironment()) {}

ProcessesLinux::ProcessesLinux(DriveTable drives) : ProcessesLinux(std::move(drives), Opzioni{}) {}

ProcessesLinux::ProcessesLinux(DriveTable drives, Opzioni opzioni)
    : drives_(std::move(drives)), opzioni_(std::move(opzioni)) {
  if (opzioni_.cartellaProgramma.empty()) opzioni_.cartellaProgramma = CartellaEseguibile();
  if (opzioni_.avvioWindows.empty()) opzioni_.avvioWindows = CartellaAusiliari() / "windows" / "compilawexo-avvio.exe";
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
    ChiudiCanale(figlio.canaleScrittura);
    ChiudiCanale(figlio.canaleLettura);
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
  AvvioProgramma avvio;
  bool tramiteAvvio = false;
  const bool windows = ComeProgrammaWindows(*programma);
  if (windows) {
    // Wine would rebuild the line from the words, quoting only those with
    // blanks: the launcher gives the program the line as written.
    std::error_code ec;
    if (fs::is_regular_file(opzioni_.avvioWindows, ec)) {
      tramiteAvvio = true;
      argomenti = {opzioni_.avvioWindows.string()};
      variabili.push_back("CW_AVVIO_PROGRAMMA=" + avvio::Esadecimale(programma->string()));
      variabili.push_back("CW_AVVIO_RIGA=" + avvio::Esadecimale(commandLine));
    }
    auto sottoWine = AvvioSottoWine(std::move(argomenti), drives_.Prefix(), variabili, opzioni_.percorsoRicerca);
    if (!sottoWine) SollevaErrore(kFileNonTrovato, "programma Windows senza wine: " + programma->string(), parole[0]);
    avvio = std::move(*sottoWine);
  } else {
    avvio = AvvioProgramma{*programma, std::move(argomenti), AmbientePrefisso(drives_.Prefix(), variabili)};
  }
  // Nothing of the tool's own standard streams reaches a Windows program:
  // Wine's services, started by the first Wine program of a prefix, keep what
  // it inherited, and a caller's pipe (a CI log, "| tee") would then never
  // close. They get /dev/null; the launcher gets two pipes of the tool's
  // own, closed once it has been reaped.
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  int entrata[2] = {-1, -1}, uscita[2] = {-1, -1};
  if (windows) {
    if (tramiteAvvio && (::pipe2(entrata, O_CLOEXEC) < 0 || ::pipe2(uscita, O_CLOEXEC) < 0)) {
      for (int* fd : {&entrata[0], &entrata[1], &uscita[0], &uscita[1]}) ChiudiCanale(*fd);
    }
    if (entrata[0] >= 0) {
      posix_spawn_file_actions_adddup2(&azioni, entrata[0], 0);
      posix_spawn_file_actions_adddup2(&azioni, uscita[1], 1);
    } else {
      posix_spawn_file_actions_addopen(&azioni, 0, "/dev/null", O_RDONLY, 0);
      posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t pid = 0;
  int err = 0;
  {
    // A signal between the start and the registration would end the tool
    // and leave the program running: it waits until the program is
    // registered, and is then acted on here.
    AscoltoSegnale ascolto;
    // A group of its own: what a script or wine starts in turn is ended with
    // it on a signal.
    err = AvviaFiglio(pid, avvio.eseguibile, std::move(avvio.argomenti), std::move(avvio.ambiente),
                      windows ? &azioni : nullptr, true);
    if (err == 0) RegistraAvviato(pid);
  }
  posix_spawn_file_actions_destroy(&azioni);
  ChiudiCanale(entrata[0]);
  ChiudiCanale(uscita[1]);
  if (err != 0) {
    ChiudiCanale(entrata[1]);
    ChiudiCanale(uscita[0]);
    SollevaErrore(kFileNonTrovato, avvio.eseguibile.string() + ": " + std::strerror(err), parole[0]);
  }

  Figlio figlio;
  figlio.pidfd = PidfdOpen(pid);  // -1: the reaper falls back to polling
  figlio.primoPiano = windowStyle == kFinestraNormale;
  figlio.canaleScrittura = entrata[1];
  figlio.canaleLettura = uscita[0];
  // The reaper closes the channel with the child: the wait for the start reads a copy.
  int letturaAvvio = -1;
  if (figlio.canaleLettura >= 0) {
    ::fcntl(figlio.canaleLettura, F_SETFL, ::fcntl(figlio.canaleLettura, F_GETFL) | O_NONBLOCK);
    letturaAvvio = ::fcntl(figlio.canaleLettura, F_DUPFD_CLOEXEC, 0);
  }
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
  if (letturaAvvio >= 0) {
    AttendiAvvio(pid, figlio.pidfd, letturaAvvio);
    ::close(letturaAvvio);
  }
  if (const int s = SegnaleArrivato()) {
    ::kill(-pid, SIGKILL);
    throw FineSuSegnale{s};
  }
  return static_cast<std::uint32_t>(pid);
}

void ProcessesLinux::AttendiAvvio(pid_t pid, int pidfd, int lettura) {
  using Orologio = std::chrono::steady_clock;
  const auto scadenza = Orologio::now() + kLimiteAvvioLauncher;
  AttesaLinux bloccante;
  Attesa& attesa = opzioni_.attesa ? *opzioni_.attesa : bloccante;
  AttesaAvvioWine avviso(drives_.Prefix());
  const int segnale = DescrittoreSegnale();
  std::string letto;
  AscoltoSegnale ascolto;  // acted on by the caller
  for (;;) {
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
    if (resto <= 0) return;
    int ms = avviso.Limite(static_cast<int>(std::min<long long>(resto, INT_MAX)));
    OggettoAttesa p[3];
    std::size_t n = 0;
    p[n++] = lettura;
    // The pidfd of a child that ends without a word (wine missing its
    // libraries); without one the status is looked at now and then.
    if (pidfd >= 0)
      p[n++] = pidfd;
    else
      ms = ms < 0 ? 10 : std::min(ms, 10);
    if (segnale >= 0) p[n++] = segnale;
    if (attesa.Aspetta(p, n, ms) == kAttesaFallita && errno != EINTR) return;
    if (SegnaleArrivato()) return;
    // The line, or the pipe closed: started, or it never will be.
    if (!LeggiDisponibile(lettura, letto) || letto.find('\n') != std::string::npos) return;
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0) return;
    avviso.Controlla();
  }
}

std::vector<FinestraMostrata> ProcessesLinux::FinestreMostrate(HandleProcesso handle) {
  using Orologio = std::chrono::steady_clock;
  int scrittura = -1, lettura = -1, pidfd = -1;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto h = maniglie_.find(handle);
    if (h == maniglie_.end()) return {};
    const Figlio& figlio = figli_.at(h->second);
    if (figlio.finito || figlio.canaleScrittura < 0 || figlio.canaleLettura < 0) return {};
    // Copies: a wait on another thread may reap the launcher and close its channel meanwhile.
    scrittura = ::fcntl(figlio.canaleScrittura, F_DUPFD_CLOEXEC, 0);
    lettura = ::fcntl(figlio.canaleLettura, F_DUPFD_CLOEXEC, 0);
    pidfd = figlio.pidfd;
  }
  std::vector<FinestraMostrata> finestre;
  const auto scadenza = Orologio::now() + kLimiteLetturaFinestre;
  AttesaLinux bloccante;
  Attesa& attesa = opzioni_.attesa ? *opzioni_.attesa : bloccante;
  std::string letto;
  bool finito = scrittura < 0 || lettura < 0 || !ScriviSenzaSigpipe(scrittura, std::string(avvio::kFinestre) + "\n");
  while (!finito) {
    for (size_t fine; (fine = letto.find('\n')) != std::string::npos;) {
      const std::string riga = letto.substr(0, fine);
      letto.erase(0, fine + 1);
      const size_t tab = riga.find('\t');
      const std::string parola = riga.substr(0, tab);
      std::string testo;
      if (parola == avvio::kFine) {
        finito = true;
        break;
      }
      if (tab == std::string::npos || !avvio::DaEsadecimale(riga.substr(tab + 1), testo)) continue;
      if (parola == avvio::kFinestra) finestre.push_back({testo, {}});
      if (parola == avvio::kTesto && !finestre.empty()) finestre.back().testi.push_back(testo);
    }
    if (finito) break;
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
    if (resto <= 0) break;
    // The launcher's end too: what it started may hold its output open.
    const OggettoAttesa p[2] = {lettura, pidfd};
    const int ms = static_cast<int>(pidfd >= 0 ? resto : std::min<long long>(resto, 10));
    const int pronto = attesa.Aspetta(p, pidfd >= 0 ? 2 : 1, ms);
    if (pronto == kAttesaFallita && errno != EINTR) break;
    if (!LeggiDisponibile(lettura, letto) && letto.find('\n') == std::string::npos) break;
    if (pronto == 1 && letto.find('\n') == std::string::npos) break;
  }
  ChiudiCanale(scrittura);
  ChiudiCanale(lettura);
  return finestre;
}

bool ProcessesLinux::SalvaSchermata(const std::string& percorso) {
  const auto host = drives_.ResolveForCreate(percorso);
  return host && SalvaSchermataX11(*host);
}

HandleProcesso ProcessesLinux::OpenProcess(std::uint32_t /*access*/, bool /*inherit*/, std::uint32_t pid) {
  std::lock_guard<std::mutex> lock(mutex_);
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
  AttesaLinux bloccante;
  Attesa& attesa = opzioni_.attesa ? *opzioni_.attesa : bloccante;
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
  for (int i = 0; i < 100; ++i) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Figlio& figlio = figli_.at(pid);
      // The group is gone once its leader is reaped and no member is left.
      if ((figlio.finito || RaccogliSeFinito(pid, figlio, false)) && ::kill(-pid, 0) < 0 && errno == ESRCH) return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(-pid, SIGKILL);
  std::lock_guard<std::mutex> lock(mutex_);
  Figlio& figlio = figli_.at(pid);
  if (!figlio.finito) RaccogliSeFinito(pid, figlio, true);
}

void ProcessesLinux::TerminateProcess(HandleProcesso handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto h = maniglie_.find(handle);
  if (h == maniglie_.end()) return;
  Figlio& figlio = figli_.at(h->second);
  if (figlio.finito) return;
  // The group is still there: its leader is not reaped yet.
  ::kill(-h->second, SIGKILL);
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
    ChiudiCanale(figlio.canaleScrittura);
    ChiudiCanale(figlio.canaleLettura);
    return true;
  }
  if (info.si_pid == 0) return false;
  figlio.finito = true;
  TogliAvviato(pid);
  ChiudiCanale(figlio.canaleScrittura);
  ChiudiCanale(figlio.canaleLettura);
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
