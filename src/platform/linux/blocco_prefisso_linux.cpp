#include "platform/linux/blocco_prefisso_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace cw {
namespace {

std::string Ragione(int err) {
  switch (err) {
    case ENOENT: return "la cartella non esiste";
    case ENOTDIR: return "non è una cartella";
    case EACCES:
    case EPERM: return "accesso negato";
    case ENOLCK:
    case EOPNOTSUPP:
    case EINVAL:
    case EBADF: return "il file system non consente il blocco";
    default: return std::strerror(err);
  }
}

}  // namespace

PresaBlocco BloccoPrefissoLinux::Prendi() {
  if (fd_ >= 0) return PresaBlocco::Presa;
  // Close-on-exec: a build or a server left running must not keep it.
  const int fd = ::open(cartella_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  int err = errno;
  if (fd >= 0) {
    int r;
    do r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r == 0) {
      fd_ = fd;
      return PresaBlocco::Presa;
    }
    err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return PresaBlocco::Occupata;
  }
  motivo_ = "Impossibile bloccare la cartella \"" + cartella_.string() +
            "\" contro un'altra istanza di CompilaWexo: " + Ragione(err) + ". Nessun file è stato modificato.";
  return PresaBlocco::Impossibile;
}

std::filesystem::path BloccoPrefissoLinux::Registro(int fd) const {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return {};
  std::error_code ec;
  const std::filesystem::path dove = registri_.empty() ? std::filesystem::temp_directory_path(ec) : registri_;
  if (ec) return {};
  return dove / ("compilawexo-blocco-" + std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino));
}

void BloccoPrefissoLinux::Annota(const std::string& programma, const std::string& comando) {
  if (fd_ < 0) return;
  registro_ = Registro(fd_);
  if (registro_.empty()) return;
  const std::string testo = ScriviDetentore(
      {programma, comando, static_cast<std::int64_t>(::getpid()), static_cast<std::int64_t>(std::time(nullptr))});
  // Not through a link someone left in the shared folder.
  const int fd = ::open(registro_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const ssize_t scritti = ::write(fd, testo.data(), testo.size());
  (void)scritti;  // a short record reads back as none
  ::fdatasync(fd);
  ::close(fd);
}

std::optional<DetentoreBlocco> BloccoPrefissoLinux::Detentore() const {
  const int cartella = ::open(cartella_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (cartella < 0) return std::nullopt;
  const std::filesystem::path registro = Registro(cartella);
  ::close(cartella);
  if (registro.empty()) return std::nullopt;
  const int fd = ::open(registro.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  char buffer[1024];
  const ssize_t letti = ::read(fd, buffer, sizeof buffer);
  ::close(fd);
  if (letti <= 0) return std::nullopt;
  std::optional<DetentoreBlocco> d = LeggiDetentore(std::string_view(buffer, static_cast<size_t>(letti)));
  // A holder that has gone left its record: the one at work now wrote none.
  if (d && ::kill(static_cast<pid_t>(d->pid), 0) != 0 && errno == ESRCH) return std::nullopt;
  return d;
}

void BloccoPrefissoLinux::Lascia() {
  if (fd_ < 0) return;
  // While still held: the next holder's record is never the one removed.
  if (!registro_.empty()) ::unlink(registro_.c_str());
  registro_.clear();
  ::close(fd_);
  fd_ = -1;
}

}  // namespace cw
