#include "platform/linux/io_linux.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "base/errors.h"
#include "base/righe.h"

namespace cw {

std::string UltimeRighe(int fd, size_t righe) {
  // The end of what was written is enough for a few lines.
  constexpr off_t kCoda = 4096;
  const off_t fine = ::lseek(fd, 0, SEEK_END);
  if (fine <= 0) return {};
  const off_t da = std::max<off_t>(0, fine - kCoda);
  std::string testo(static_cast<size_t>(fine - da), '\0');
  const ssize_t letti = ::pread(fd, testo.data(), testo.size(), da);
  testo.resize(letti > 0 ? static_cast<size_t>(letti) : 0);
  testo += '\n';
  std::vector<std::string> tutte;
  std::string riga;
  while (PrendiRiga(testo, riga))
    if (!riga.empty()) tutte.push_back(riga);
  std::string coda;
  for (size_t i = tutte.size() > righe ? tutte.size() - righe : 0; i < tutte.size(); ++i)
    coda += (coda.empty() ? "" : "\n") + tutte[i];
  return coda;
}

int LeggiFinoAllaFine(int fd, std::string& out, size_t sizeHint) {
  // One spare byte past the expected size, so a file read in one go ends
  // with the next read returning 0 rather than with a resize.
  size_t used = out.size();
  out.resize(used + (sizeHint > 0 ? sizeHint + 1 : 4096));
  for (;;) {
    if (used == out.size()) out.resize(out.size() * 2);
    const ssize_t k = ::read(fd, out.data() + used, out.size() - used);
    if (k < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      out.resize(used);
      return err;
    }
    if (k == 0) break;
    used += static_cast<size_t>(k);
  }
  out.resize(used);
  return 0;
}

int ScriviTuttoFd(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t k = ::write(fd, data.data(), data.size());
    if (k < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (k == 0) return EIO;
    data.remove_prefix(static_cast<size_t>(k));
  }
  return 0;
}

int ScriviTuttoDaCapo(int fd, std::string_view data) {
  off_t at = 0;
  while (!data.empty()) {
    const ssize_t k = ::pwrite(fd, data.data(), data.size(), at);
    if (k < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (k == 0) return EIO;
    data.remove_prefix(static_cast<size_t>(k));
    at += static_cast<off_t>(k);
  }
  return 0;
}

void SollevaErroreErrno(int err, bool missingIsFolder, const std::string& host, const char* call,
                        std::string_view percorso) {
  SollevaErrore(ErroreDaErrno(err, missingIsFolder), std::string(call) + " " + host + ": " + std::strerror(err),
                std::string(percorso));
}

}  // namespace cw
