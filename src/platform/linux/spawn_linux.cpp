#include "platform/linux/spawn_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <system_error>

#include "platform/linux/architettura_linux.h"
#include "platform/linux/discendenza_linux.h"

extern char** environ;

namespace cw {
namespace {

// The name of a "NAME=value" entry, with its "=".
std::string_view NomeDi(std::string_view voce) { return voce.substr(0, voce.find('=') + 1); }

std::vector<char*> Puntatori(std::vector<std::string>& testi) {
  std::vector<char*> p;
  p.reserve(testi.size() + 1);
  for (auto& t : testi) p.push_back(t.data());
  p.push_back(nullptr);
  return p;
}

}  // namespace

int AvviaFiglio(pid_t& pid, const std::filesystem::path& programma, std::vector<std::string> argomenti,
                std::vector<std::string> ambiente, const posix_spawn_file_actions_t* azioni, bool gruppoProprio,
                unsigned long* numero) {
  unsigned long avvio = 0;
  ambiente.push_back(MarcaDiscendenza(avvio));
  if (numero) *numero = avvio;
  std::vector<char*> argv = Puntatori(argomenti);
  std::vector<char*> envp = Puntatori(ambiente);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t vuoto, tutti;
  sigemptyset(&vuoto);
  sigfillset(&tutti);
  posix_spawnattr_setsigmask(&attr, &vuoto);
  posix_spawnattr_setsigdefault(&attr, &tutti);
  int flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (gruppoProprio) {
    posix_spawnattr_setpgroup(&attr, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(&attr, static_cast<short>(flags));
  const int err = posix_spawn(&pid, programma.c_str(), azioni, &attr, argv.data(), envp.data());
  posix_spawnattr_destroy(&attr);
  return err;
}

// Called through syscall: the C library's own declaration lacks C linkage for C++.
int PidfdOpen(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

bool ComeProgrammaWindows(const std::filesystem::path& programma) {
  const int fd = ::open(programma.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char testa[2] = {};
  const ssize_t n = ::read(fd, testa, sizeof testa);
  ::close(fd);
  return n == 2 && testa[0] == 'M' && testa[1] == 'Z';
}

std::optional<std::filesystem::path> CercaNelPercorso(const std::string& percorso, const std::string& nome) {
  size_t inizio = 0;
  while (inizio <= percorso.size()) {
    size_t fine = percorso.find(':', inizio);
    if (fine == std::string::npos) fine = percorso.size();
    if (fine > inizio) {
      const std::filesystem::path candidato = std::filesystem::path(percorso.substr(inizio, fine - inizio)) / nome;
      std::error_code ec;
      if (std::filesystem::is_regular_file(candidato, ec) && ::access(candidato.c_str(), X_OK) == 0) return candidato;
    }
    inizio = fine + 1;
  }
  return std::nullopt;
}

std::vector<std::string> AmbientePrefisso(const std::filesystem::path& prefisso,
                                          const std::vector<std::string>& variabili) {
  std::vector<std::string> aggiunte{"WINEPREFIX=" + prefisso.string()};
  aggiunte.insert(aggiunte.end(), variabili.begin(), variabili.end());
  std::vector<std::string> ambiente;
  for (char** e = environ; e && *e; ++e) {
    const std::string_view nome = NomeDi(*e);
    const bool sostituita =
        std::any_of(aggiunte.begin(), aggiunte.end(), [&](const std::string& a) { return NomeDi(a) == nome; });
    if (!sostituita) ambiente.emplace_back(*e);
  }
  ambiente.insert(ambiente.end(), aggiunte.begin(), aggiunte.end());
  return ambiente;
}

std::optional<AvvioProgramma> AvvioSottoWine(std::vector<std::string> parole, const std::filesystem::path& prefisso,
                                             const std::vector<std::string>& variabili,
                                             const std::optional<std::string>& percorsoRicerca) {
  const char* path = std::getenv("PATH");
  const std::string percorso = percorsoRicerca ? *percorsoRicerca : (path ? path : "");
  // A 64-bit program needs no 32-bit loader, which `wine` may start first.
  const bool a64 = !parole.empty() && BitProgramma(parole[0]) == 64;
  const auto wine = a64 ? CaricatoreWine64(percorso) : CercaNelPercorso(percorso, "wine");
  if (!wine) return std::nullopt;
  AvvioProgramma avvio{*wine, {a64 ? "wine64" : "wine"}, AmbientePrefisso(prefisso, variabili)};
  avvio.argomenti.insert(avvio.argomenti.end(), std::make_move_iterator(parole.begin()),
                         std::make_move_iterator(parole.end()));
  if (!std::getenv("WINEDEBUG")) avvio.ambiente.push_back("WINEDEBUG=-all");
  return avvio;
}

}  // namespace cw
