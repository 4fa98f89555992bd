#include "platform/linux/discendenza_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/linux/fine_su_segnale_linux.h"

namespace cw {
namespace {

// The guardian runs between fork and _exit, where another thread of the
// tool may have held the allocator's lock: what it calls is only system
// calls over buffers of its own, so the scan below allocates nothing.

// Whether the environment read from fd holds an entry that begins with the
// n bytes of ago (an exact entry when ago ends with its NUL).
bool AmbienteCon(int fd, const char* ago, size_t n) {
  char blocco[4096];
  size_t pos = 0;
  bool inizio = true;  // the bytes since the entry's start match ago so far
  for (;;) {
    const ssize_t letti = ::read(fd, blocco, sizeof blocco);
    if (letti < 0 && errno == EINTR) continue;
    if (letti <= 0) return false;
    for (ssize_t i = 0; i < letti; ++i) {
      const char c = blocco[i];
      if (inizio && c == ago[pos]) {
        if (++pos == n) return true;
        continue;
      }
      inizio = c == '\0';
      pos = 0;
    }
  }
}

// "<pid><file>" relative to /proc, in the caller's buffer.
const char* PercorsoProc(char (&percorso)[32], const char* pid, const char* file) {
  size_t l = 0;
  for (const char* c = pid; *c && l < 20; ++c) percorso[l++] = *c;
  for (const char* c = file; *c && l < sizeof percorso - 1; ++c) percorso[l++] = *c;
  percorso[l] = '\0';
  return percorso;
}

// Wine's server of the prefix and its services, which the first Wine
// program starts and so marks: they serve every Wine program of the prefix,
// the user's own too, and go by themselves a little after the last of them;
// the programs the tool started carry the mark themselves.
bool ServizioWine(int proc, const char* pid) {
  char percorso[32];
  const int fd = ::openat(proc, PercorsoProc(percorso, pid, "/comm"), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char nome[16] = {};
  const ssize_t n = ::read(fd, nome, sizeof nome - 1);
  ::close(fd);
  if (n <= 0) return false;
  for (const char* servizio :
       {"wineserver", "services.exe", "winedevice.exe", "plugplay.exe", "svchost.exe", "explorer.exe", "rpcss.exe"}) {
    const size_t lunghezza = std::strlen(servizio);
    if (static_cast<size_t>(n) >= lunghezza && std::memcmp(nome, servizio, lunghezza) == 0) return true;
  }
  return false;
}

// The pid a /proc entry names, 0 for any other entry.
pid_t PidDi(const char* nome) {
  pid_t pid = 0;
  for (; *nome; ++nome) {
    if (*nome < '0' || *nome > '9') return 0;
    pid = pid * 10 + (*nome - '0');
  }
  return pid;
}

// One pass over /proc: SIGKILL to each marked process. The count signalled.
int UnGiro(const char* ago, size_t n) {
  const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (proc < 0) return 0;
  int uccisi = 0;
  alignas(struct dirent64) char voci[8192];
  for (;;) {
    const ssize_t k = ::getdents64(proc, voci, sizeof voci);
    if (k <= 0) break;
    for (ssize_t o = 0; o < k;) {
      const auto* voce = reinterpret_cast<const struct dirent64*>(voci + o);
      o += voce->d_reclen;
      const pid_t pid = PidDi(voce->d_name);
      if (pid <= 1 || pid == ::getpid() || ServizioWine(proc, voce->d_name)) continue;
      char percorso[32];
      const int fd = ::openat(proc, PercorsoProc(percorso, voce->d_name, "/environ"), O_RDONLY | O_CLOEXEC);
      if (fd < 0) continue;  // gone, or another user's
      const bool marcato = AmbienteCon(fd, ago, n);
      ::close(fd);
      if (marcato && ::kill(pid, SIGKILL) == 0) ++uccisi;
    }
  }
  ::close(proc);
  return uccisi;
}

// Passes until one finds nobody: a process may start another while a pass
// reads, and one killed reads as marked until it is gone.
int UccidiMarcati(const char* ago, size_t n) {
  int uccisi = 0;
  for (int giro = 0; giro < 50; ++giro) {
    const int questo = UnGiro(ago, n);
    if (questo == 0) break;
    uccisi += questo;
    const timespec pausa{0, 10 * 1000 * 1000};
    ::nanosleep(&pausa, nullptr);
  }
  return uccisi;
}

[[noreturn]] void Guardiano(int lettura, int scrittura, const char* ago, size_t n) {
  ::close(scrittura);
  // Nothing that reaches the tool's group or session (a terminal's ^C or
  // hangup, a kill of the group) reaches the guardian.
  ::setsid();
  sigset_t tutti;
  sigfillset(&tutti);
  ::sigprocmask(SIG_SETMASK, &tutti, nullptr);
  ::prctl(PR_SET_NAME, "cw-guardiano", 0, 0, 0);
  // Only its pipe: another of the tool's descriptors held here (a child's
  // input, the instance lock, the caller's output) would stay open after
  // the tool.
  if (lettura != 3) {
    if (::dup2(lettura, 3) < 0) ::_exit(1);
    ::close(lettura);
  }
  if (::syscall(SYS_close_range, 4u, ~0u, 0u) != 0)
    for (int fd = 4; fd < 4096; ++fd) ::close(fd);
  const int nulla = ::open("/dev/null", O_RDWR);
  for (int fd = 0; fd < 3 && nulla >= 0; ++fd)
    if (nulla != fd) ::dup2(nulla, fd);
  if (nulla > 2) ::close(nulla);
  char c = 0;
  ssize_t r;
  while ((r = ::read(3, &c, 1)) < 0 && errno == EINTR) {
  }
  if (r != 1) UccidiMarcati(ago, n);
  ::_exit(0);
}

struct Stato {
  std::mutex mutex;
  pid_t processo = 0;  // the process the mark and the guardian are of; 0 before the first start
  int scrittura = -1;
  char nome[64] = {};  // "CW_DISCENDENZA_<pid>_<n>", the variable's name
  size_t lunghezza = 0;
  char ago[72] = {};  // the name with "=": the mark of any start
  unsigned long prossimo = 1;
};

Stato& Globale() {
  static Stato s;
  return s;
}

// At a normal exit: the guardian goes, ending nothing. After a signal the
// exit is the signal's, and what the tool started goes with it.
void Congeda() {
  Stato& s = Globale();
  if (s.processo != ::getpid() || s.scrittura < 0 || SegnaleArrivato() != 0) return;
  (void)!::write(s.scrittura, "x", 1);
}

void AvviaGuardiano(Stato& s) {
  timespec ora{};
  ::clock_gettime(CLOCK_REALTIME, &ora);
  const int l = std::snprintf(s.nome, sizeof s.nome, "CW_DISCENDENZA_%d_%lx", static_cast<int>(::getpid()),
                              static_cast<unsigned long>(ora.tv_nsec) ^ static_cast<unsigned long>(ora.tv_sec));
  s.lunghezza = static_cast<size_t>(l);
  std::snprintf(s.ago, sizeof s.ago, "%s=", s.nome);
  // A fork inherited the parent's: this process has a guardian of its own.
  if (s.scrittura >= 0) ::close(s.scrittura);
  s.scrittura = -1;
  const bool primo = s.processo == 0;
  s.processo = ::getpid();
  if (primo) std::atexit(Congeda);
  int tubo[2];
  if (::pipe2(tubo, O_CLOEXEC) != 0) return;
  // Started through a process that ends at once, the guardian is nobody's
  // child here: the tool never has to reap it.
  const pid_t tramite = ::fork();
  if (tramite == 0) {
    if (::fork() != 0) ::_exit(0);
    Guardiano(tubo[0], tubo[1], s.ago, s.lunghezza + 1);
  }
  ::close(tubo[0]);
  if (tramite < 0) {
    ::close(tubo[1]);
    return;
  }
  while (::waitpid(tramite, nullptr, 0) < 0 && errno == EINTR) {
  }
  s.scrittura = tubo[1];
}

}  // namespace

void PreparaDiscendenza() {
  Stato& s = Globale();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.processo != ::getpid()) AvviaGuardiano(s);
}

std::string MarcaDiscendenza(unsigned long& numero) {
  Stato& s = Globale();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.processo != ::getpid()) AvviaGuardiano(s);
  numero = s.prossimo++;
  return std::string(s.ago) + std::to_string(numero);
}

int TerminaDiscendenza(unsigned long numero) {
  Stato& s = Globale();
  std::string ago;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.processo != ::getpid()) return 0;
    ago = std::string(s.ago) + std::to_string(numero);
  }
  ago.push_back('\0');
  return UccidiMarcati(ago.data(), ago.size());
}

}  // namespace cw
