#include "rimozione.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "errore_sandbox.h"

namespace cw::sandbox {

namespace {

[[noreturn]] void Fallisce(const std::string& nome, int err) {
  throw ErroreSandbox("cannot remove " + nome + ": " + std::strerror(err));
}

}  // namespace

void RimuoviVoce(int dirfd, const std::string& nome) {
  struct stat st;
  if (::fstatat(dirfd, nome.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return;
    Fallisce(nome, errno);
  }
  if (!S_ISDIR(st.st_mode)) {
    if (::unlinkat(dirfd, nome.c_str(), 0) != 0 && errno != ENOENT) Fallisce(nome, errno);
    return;
  }
  if ((st.st_mode & S_IRWXU) != S_IRWXU) ::fchmodat(dirfd, nome.c_str(), st.st_mode | S_IRWXU, 0);
  // O_NOFOLLOW: should the folder have turned into a link since the check,
  // the open fails instead of entering the link's target.
  const int fd = ::openat(dirfd, nome.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) Fallisce(nome, errno);
  DIR* d = ::fdopendir(fd);
  if (!d) {
    const int err = errno;
    ::close(fd);
    Fallisce(nome, err);
  }
  std::vector<std::string> figli;
  while (dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) figli.emplace_back(e->d_name);
  }
  try {
    for (const std::string& figlio : figli) RimuoviVoce(::dirfd(d), figlio);
  } catch (...) {
    ::closedir(d);
    throw;
  }
  ::closedir(d);
  if (::unlinkat(dirfd, nome.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) Fallisce(nome, errno);
}

}  // namespace cw::sandbox
