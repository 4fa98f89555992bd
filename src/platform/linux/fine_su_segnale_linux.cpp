#include "platform/linux/fine_su_segnale_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace cw {
namespace {

// Only atomics and async-signal-safe calls: the handler may run on any
// thread (the reaper's, the toolkit's) at any moment.
std::atomic<int> g_segnale{0};
std::atomic<int> g_ascoltatori{0};
int g_tubo[2] = {-1, -1};

// kill() arguments: a pid, or minus a group's id.
constexpr int kPosti = 16;
std::atomic<pid_t> g_daTerminare[kPosti];
// Programs just started and not yet reaped, each the leader of a group of
// its own: a signal ends their groups, the program's exit does not (a server
// left registering itself goes on).
constexpr int kPostiAvvio = 64;
std::atomic<pid_t> g_avviati[kPostiAvvio];

void TerminaRegistrati() {
  for (auto& posto : g_daTerminare)
    if (const pid_t bersaglio = posto.load()) ::kill(bersaglio, SIGKILL);
}

void TerminaAvviati() {
  for (auto& posto : g_avviati)
    if (const pid_t pid = posto.load()) ::kill(-pid, SIGKILL);
}

template <int N>
void Metti(std::atomic<pid_t> (&posti)[N], pid_t valore) {
  for (auto& posto : posti) {
    pid_t libero = 0;
    if (posto.compare_exchange_strong(libero, valore)) return;
  }
}

template <int N>
void Togli(std::atomic<pid_t> (&posti)[N], pid_t valore) {
  for (auto& posto : posti) {
    pid_t atteso = valore;
    if (posto.compare_exchange_strong(atteso, 0)) return;
  }
}

void Gestore(int segnale) {
  const int errnoSalvato = errno;
  int atteso = 0;
  g_segnale.compare_exchange_strong(atteso, segnale);
  const char uno = 1;
  (void)!::write(g_tubo[1], &uno, 1);
  // Seen after the store above: a wait letting go now looks at the signal
  // once it has, so one of the two always acts on it.
  if (g_ascoltatori.load() == 0) {
    TerminaRegistrati();
    TerminaAvviati();
    ::_exit(128 + g_segnale.load());
  }
  errno = errnoSalvato;
}

}  // namespace

void PreparaFineSuSegnale() {
  if (g_tubo[0] >= 0) return;
  if (::pipe2(g_tubo, O_CLOEXEC | O_NONBLOCK) < 0) g_tubo[0] = g_tubo[1] = -1;
  struct sigaction ignora {};
  ignora.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignora, nullptr);
  struct sigaction azione {};
  azione.sa_handler = Gestore;
  azione.sa_flags = SA_RESTART;
  sigfillset(&azione.sa_mask);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &azione, nullptr);
  // The toolkit ends the program with exit() when its display goes away:
  // what the tool waits for goes with it.
  std::atexit(TerminaRegistrati);
}

int DescrittoreSegnale() { return g_tubo[0]; }

int SegnaleArrivato() { return g_segnale.load(); }

AscoltoSegnale::AscoltoSegnale() { g_ascoltatori.fetch_add(1); }

AscoltoSegnale::~AscoltoSegnale() { g_ascoltatori.fetch_sub(1); }

void RegistraDaTerminare(pid_t pid, bool gruppo) { Metti(g_daTerminare, gruppo ? -pid : pid); }

void TogliDaTerminare(pid_t pid, bool gruppo) { Togli(g_daTerminare, gruppo ? -pid : pid); }

void RegistraAvviato(pid_t pid) { Metti(g_avviati, pid); }

void TogliAvviato(pid_t pid) { Togli(g_avviati, pid); }

}  // namespace cw
