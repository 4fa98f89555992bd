// compilawexo-regworker: loads one library, finds its registration entry
// point, reports each step to the tool and calls it. The tool waits for it
// with a limit and ends it when the limit passes; nothing here is trusted to
// return.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "registration/protocollo_worker.h"

namespace {

int g_report = -1;

void Riferisci(const char* passo, const std::string& dettaglio = {}) {
  std::string riga = passo;
  if (!dettaglio.empty()) riga += " " + dettaglio;
  for (char& c : riga)
    if (c == '\n') c = ' ';
  riga += '\n';
  const char* p = riga.data();
  size_t resto = riga.size();
  while (resto > 0) {
    const ssize_t n = ::write(g_report, p, resto);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the tool has gone: nothing left to tell
    p += n;
    resto -= static_cast<size_t>(n);
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

  void* libreria = ::dlopen(argv[3], RTLD_NOW | RTLD_LOCAL);
  if (!libreria) {
    const char* errore = ::dlerror();
    Riferisci(cw::worker::kCaricamentoFallito, errore ? errore : "");
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
  Riferisci(cw::worker::kConclusa, std::to_string(risultato));
  // Ending the process releases the library; the component's destructors
  // and exit handlers are not run, so none of them can hold up the tool.
  ::_exit(0);
}
