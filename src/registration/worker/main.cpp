// compilawexo-regworker: the registration worker for Linux libraries. It
// speaks the workers' protocol (registration/protocollo_worker.h) on its
// standard input and output and serves one request: it loads the library,
// finds its registration entry point, reports each step and calls it. The
// tool waits for it with a limit and ends it when the limit passes; nothing
// here is trusted to return. It uses the C library only, so that starting it
// costs little (it runs once per DLL).

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "registration/esame_libreria.h"
#include "registration/protocollo_worker.h"

namespace {

int g_entrata = -1;  // the requests: our own copy of the standard input
int g_uscita = -1;   // the report: our own copy of the standard output

void Scrivi(const char* p, size_t resto) {
  while (resto > 0) {
    const ssize_t scritti = ::write(g_uscita, p, resto);
    if (scritti < 0 && errno == EINTR) continue;
    if (scritti <= 0) return;  // the tool has gone: nothing left to tell
    p += scritti;
    resto -= static_cast<size_t>(scritti);
  }
}

void Riferisci(const char* passo, const char* dettaglio = "") {
  char riga[1024];
  int n = std::snprintf(riga, sizeof riga - 1, *dettaglio ? "%s %s" : "%s", passo, dettaglio);
  if (n < 0) return;
  size_t resto = std::min(static_cast<size_t>(n), sizeof riga - 2);
  for (size_t i = 0; i < resto; ++i)
    if (riga[i] == '\n') riga[i] = ' ';
  riga[resto++] = '\n';
  Scrivi(riga, resto);
}

// A crash while loading or in the entry point is told as the Windows worker
// tells an exception; then the worker dies of its signal. Only calls that a
// signal handler may make.
void Caduta(int segnale) {
  char riga[32];
  size_t n = std::strlen(cw::worker::kEccezione);
  std::memcpy(riga, cw::worker::kEccezione, n);
  riga[n++] = ' ';
  char cifre[8];
  size_t k = 0;
  for (int s = segnale; k == 0 || s > 0; s /= 10) cifre[k++] = static_cast<char>('0' + s % 10);
  while (k > 0) riga[n++] = cifre[--k];
  riga[n++] = '\n';
  Scrivi(riga, n);
  ::raise(segnale);  // at its default again: delivered once this returns
}

void PreparaCadute() {
  // Its own stack, so an overflow of the component's is told too.
  static char pila[1 << 16];
  stack_t altra{};
  altra.ss_sp = pila;
  altra.ss_size = sizeof pila;
  ::sigaltstack(&altra, nullptr);
  struct sigaction azione {};
  azione.sa_handler = Caduta;
  azione.sa_flags = SA_RESETHAND | SA_ONSTACK;
  sigemptyset(&azione.sa_mask);
  for (const int s : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) ::sigaction(s, &azione, nullptr);
}

// The worker keeps the request and report channels to itself: a component
// that reads its standard input or prints on its standard output must not
// take the request or break into the report. It gets the null device and
// the error channel instead, and the programs it starts inherit neither pipe.
bool TieniCanali() {
  g_entrata = ::fcntl(0, F_DUPFD_CLOEXEC, 3);
  g_uscita = ::fcntl(1, F_DUPFD_CLOEXEC, 3);
  if (g_entrata < 0 || g_uscita < 0) return false;
  const int nulla = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (nulla < 0 || ::dup2(nulla, 0) < 0 || ::dup2(2, 1) < 0) return false;
  ::close(nulla);
  return true;
}

// The first request line that is not empty, without its end.
enum class Lettura { Richiesta, Nessuna, TroppoLunga };
Lettura LeggiRichiesta(char* riga, size_t spazio) {
  size_t n = 0;
  bool troppoLunga = false;
  for (;;) {
    char c;
    const ssize_t letti = ::read(g_entrata, &c, 1);
    if (letti < 0 && errno == EINTR) continue;
    const bool fine = letti <= 0;
    if (!fine && c != '\n') {
      if (n + 1 < spazio)
        riga[n++] = c;
      else
        troppoLunga = true;
      continue;
    }
    if (n > 0 && riga[n - 1] == '\r') --n;
    riga[n] = '\0';
    if (troppoLunga) return Lettura::TroppoLunga;
    if (n > 0) return Lettura::Richiesta;
    if (fine) return Lettura::Nessuna;
  }
}

// Why the file at the host path cannot be loaded, as its headers say
// (esame_libreria.h), or kMotivoMancante, kMotivoCartella; null when nothing
// is wrong with it that its headers show (or it cannot be read).
const char* MotivoDelFile(const char* percorso) {
  const int fd = ::open(percorso, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? cw::worker::kMotivoMancante : nullptr;
  struct stat st;
  if (::fstat(fd, &st) < 0) {
    ::close(fd);
    return nullptr;
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return cw::worker::kMotivoCartella;
  }
  unsigned char testa[cw::worker::kTestaEsaminata];
  size_t n = 0;
  while (n < sizeof testa) {
    const ssize_t letti = ::read(fd, testa + n, sizeof testa - n);
    if (letti < 0 && errno == EINTR) continue;
    if (letti <= 0) break;
    n += static_cast<size_t>(letti);
  }
  ::close(fd);
  // A Windows library is judged as the 32-bit Windows worker of the suite would.
  return cw::worker::MotivoDallIntestazione(testa, n, static_cast<uint64_t>(st.st_size), true, 32);
}

}  // namespace

int main(int argc, char**) {
  if (argc != 1 || !TieniCanali()) return cw::worker::kUscitaUso;
  PreparaCadute();
  Riferisci(cw::worker::kPronto, cw::worker::kProntoUna);
  static char richiesta[8192];
  const Lettura lettura = LeggiRichiesta(richiesta, sizeof richiesta);
  if (lettura == Lettura::Nessuna) return 0;
  char* tab = std::strchr(richiesta, cw::worker::kSeparatore);
  if (lettura == Lettura::TroppoLunga || !tab || tab == richiesta) {
    char dettaglio[64];
    std::snprintf(dettaglio, sizeof dettaglio, "%s richiesta non valida", cw::worker::kMotivoRifiutata);
    Riferisci(cw::worker::kCaricamentoFallito, dettaglio);
    return 2;
  }
  *tab = '\0';
  const char* entryPoint = richiesta;
  const char* libreria = tab + 1;

  // A file cut short inside what the loader maps would crash it (SIGBUS):
  // told for what it is, without loading.
  const char* motivo = MotivoDelFile(libreria);
  if (motivo && std::strcmp(motivo, cw::worker::kMotivoTroncata) == 0) {
    Riferisci(cw::worker::kCaricamentoFallito, motivo);
    return 2;
  }
  void* handle = ::dlopen(libreria, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* errore = ::dlerror();
    // The file's headers tell the user more than the loader's words do.
    char dettaglio[900];
    std::snprintf(dettaglio, sizeof dettaglio, "%s %s", motivo ? motivo : cw::worker::kMotivoRifiutata,
                  errore ? errore : "");
    Riferisci(cw::worker::kCaricamentoFallito, dettaglio);
    return 2;
  }
  Riferisci(cw::worker::kCaricata);

  ::dlerror();
  void* simbolo = ::dlsym(handle, entryPoint);
  if (!simbolo) {
    Riferisci(cw::worker::kEntryPointMancante);
    return 3;
  }
  Riferisci(cw::worker::kEntryPointTrovato);

  using EntryPoint = std::int32_t (*)();
  const std::int32_t risultato = reinterpret_cast<EntryPoint>(simbolo)();
  char codice[16];
  std::snprintf(codice, sizeof codice, "%d", static_cast<int>(risultato));
  Riferisci(cw::worker::kConclusa, codice);
  // Ending the process releases the library; the component's destructors
  // and exit handlers are not run, so none of them can hold up the tool.
  ::_exit(0);
}
