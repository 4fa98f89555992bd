#include "platform/linux/spawn_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <system_error>

namespace cw {
namespace {

std::vector<char*> Puntatori(std::vector<std::string>& testi) {
  std::vector<char*> p;
  p.reserve(testi.size() + 1);
  for (auto& t : testi) p.push_back(t.data());
  p.push_back(nullptr);
  return p;
}

}  // namespace

int AvviaFiglio(pid_t& pid, const std::filesystem::path& programma, std::vector<std::string> argomenti,
                std::vector<std::string> ambiente, const posix_spawn_file_actions_t* azioni, bool gruppoProprio) {
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

}  // namespace cw
