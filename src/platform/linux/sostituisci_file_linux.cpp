#include "platform/linux/sostituisci_file_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>

#include "platform/linux/io_linux.h"
#include "platform/traccia.h"

namespace cw {
namespace {

// Past this age a temporary file of a save is stale whatever its process:
// a save takes milliseconds.
constexpr long kSecondiProvvisorioAbbandonato = 10 * 60;

// Removes the temporary files (".<file>.<pid>-<seed>-<n>.tmp") that a save
// killed half way left beside the file: those of a process that is gone, and
// any older than kSecondiProvvisorioAbbandonato. A live writer's fresh one
// stays, so two instances saving at once do not undo each other.
void TogliProvvisoriAbbandonati(const std::string& cartella, const std::string& base) {
  DIR* d = ::opendir(cartella.c_str());
  if (!d) return;
  const std::string inizio = "." + base + ".";
  const long adesso = static_cast<long>(::time(nullptr));
  while (const dirent* e = ::readdir(d)) {
    const std::string_view nome = e->d_name;
    if (!nome.starts_with(inizio) || !nome.ends_with(".tmp")) continue;
    // pid, seed and counter: three runs of digits joined by "-".
    const std::string_view resto = nome.substr(inizio.size(), nome.size() - inizio.size() - 4);
    const size_t primo = resto.find('-'), secondo = resto.find('-', primo + 1);
    if (primo == std::string_view::npos || secondo == std::string_view::npos || secondo == primo + 1 ||
        secondo + 1 == resto.size() || resto.find_first_not_of("0123456789-") != std::string_view::npos ||
        resto.find('-', secondo + 1) != std::string_view::npos)
      continue;
    int pid = 0;
    const auto [fine, errore] = std::from_chars(resto.data(), resto.data() + primo, pid);
    if (errore != std::errc{} || fine != resto.data() + primo || pid <= 0) continue;
    const std::string percorso = cartella + "/" + std::string(nome);
    struct stat st {};
    if (::lstat(percorso.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const bool vecchio = adesso - static_cast<long>(st.st_mtime) > kSecondiProvvisorioAbbandonato;
    const bool finito = pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
    if (vecchio || finito) ::unlink(percorso.c_str());
  }
  ::closedir(d);
}

}  // namespace

int SostituisciFile(const std::string& file, std::string_view contenuto, const struct stat* vecchio) {
  const size_t barra = file.rfind('/');
  const std::string cartella = barra == std::string::npos ? "." : barra == 0 ? "/" : file.substr(0, barra);
  const std::string base = barra == std::string::npos ? file : file.substr(barra + 1);
  if (base.empty()) return EISDIR;
  TogliProvvisoriAbbandonati(cartella, base);

  static std::atomic<unsigned> contatore{0};
  const auto seme = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::string provvisorio;
  int fd = -1;
  for (int tentativo = 0; tentativo < 100 && fd < 0; ++tentativo) {
    provvisorio = (barra == std::string::npos ? std::string() : cartella + "/") + "." + base + "." +
                  std::to_string(::getpid()) + "-" + std::to_string(seme % 1000000) + "-" +
                  std::to_string(contatore++) + ".tmp";
    fd = ::open(provvisorio.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;

  int err = 0;
  if (vecchio) {
    // Only root can give the file away; anyone else keeps it as their own.
    [[maybe_unused]] const int dato = ::fchown(fd, vecchio->st_uid, vecchio->st_gid);
    if (::fchmod(fd, vecchio->st_mode & 07777) != 0) err = errno;
  }
  if (!err) err = ScriviTuttoFd(fd, contenuto);
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(provvisorio.c_str(), file.c_str()) != 0) err = errno;
  ScriviTraccia("file", [&] {
    return "sostituito " + file +
           (err ? std::string(": ") + std::strerror(err) : std::string(" passando da ") + provvisorio);
  });
  if (err) {
    ::unlink(provvisorio.c_str());
    return err;
  }
  const int dir = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return 0;
}

}  // namespace cw
