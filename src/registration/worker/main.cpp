// compilawexo-regworker: loads one library, finds its registration entry
// point, reports each step to the tool and calls it. The tool waits for it
// with a limit and ends it when the limit passes; nothing here is trusted to
// return. It uses the C library only, so that starting it costs little (it
// runs once per DLL).

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/esame_libreria.h"
#include "platform/protocollo_worker.h"

namespace {

int g_report = -1;

void Riferisci(const char* passo, const char* dettaglio = "") {
  char riga[1024];
  int n = std::snprintf(riga, sizeof riga - 1, *dettaglio ? "%s %s" : "%s", passo, dettaglio);
  if (n < 0) return;
  size_t resto = std::min(static_cast<size_t>(n), sizeof riga - 2);
  for (size_t i = 0; i < resto; ++i)
    if (riga[i] == '\n') riga[i] = ' ';
  riga[resto++] = '\n';
  const char* p = riga;
  while (resto > 0) {
    const ssize_t scritti = ::write(g_report, p, resto);
    if (scritti < 0 && errno == EINTR) continue;
    if (scritti <= 0) return;  // the tool has gone: nothing left to tell
    p += scritti;
    resto -= static_cast<size_t>(scritti);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return cw::worker::kUscitaUso;
  char* fine = nullptr;
  const long fd = std::strtol(argv[1], &fine, 10);
  if (*argv[1] == '\0' || *fine != '\0' || fd < 0 || fd > 1 << 20) return cw::worker::kUscitaUso;
  g_report = static_cast<int>(fd);
  // Programs the component may start must not hold the report pipe open.
  if (::fcntl(g_report, F_SETFD, FD_CLOEXEC) < 0) return cw::worker::kUscitaUso;

  // A file cut short inside what the loader maps would crash it (SIGBUS):
  // told for what it is, without loading.
  const char* motivo = cw::worker::MotivoDelFile(argv[3], true);
  if (motivo && std::strcmp(motivo, cw::worker::kMotivoTroncata) == 0) {
    Riferisci(cw::worker::kCaricamentoFallito, motivo);
    return 2;
  }
  void* libreria = ::dlopen(argv[3], RTLD_NOW | RTLD_LOCAL);
  if (!libreria) {
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
  void* simbolo = ::dlsym(libreria, argv[2]);
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
