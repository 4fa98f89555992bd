#include "platform/linux/architettura_linux.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "base/intestazione_pe.h"
#include "platform/linux/spawn_linux.h"

namespace cw {
namespace {

// Debian's loaders, beside which its `wine` wrapper looks.
constexpr const char* kCaricatore32Debian = "/usr/lib/wine/wine";
constexpr const char* kCaricatore64Debian = "/usr/lib/wine/wine64";

// An ELF32 header, one loadable segment, then mov eax,1; xor ebx,ebx; int 0x80:
// a program that only ends.
constexpr unsigned char kProgramma32[] = {
    0x7f, 0x45, 0x4c, 0x46, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x03,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x54, 0x80, 0x04, 0x08, 0x34, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x34, 0x00, 0x20, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x80, 0x04, 0x08, 0x00, 0x80, 0x04, 0x08, 0x5d, 0x00, 0x00, 0x00, 0x5d, 0x00, 0x00, 0x00,
    0x05, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0xb8, 0x01, 0x00, 0x00, 0x00, 0x31, 0xdb, 0xcd, 0x80};
static_assert(sizeof kProgramma32 == 93);

// 0 when it ran, else the errno of its start (ENOEXEC: the kernel refuses it).
int AvviaProgramma32() {
  const int fd = ::memfd_create("cw-32bit", MFD_CLOEXEC);
  if (fd < 0) return errno;
  int err = 0;
  if (::write(fd, kProgramma32, sizeof kProgramma32) != static_cast<ssize_t>(sizeof kProgramma32))
    err = errno ? errno : EIO;
  if (err == 0) {
    pid_t pid = 0;
    err = AvviaFiglio(pid, "/proc/self/fd/" + std::to_string(fd), {"cw-32bit"}, {});
    if (err == 0) {
      int stato = 0;
      while (::waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
      }
      if (!WIFEXITED(stato) || WEXITSTATUS(stato) != 0) err = ENOEXEC;
    }
  }
  ::close(fd);
  return err;
}

bool Eseguibile(const char* percorso) { return ::access(percorso, X_OK) == 0; }

}  // namespace

int BitProgramma(const std::filesystem::path& programma) {
  const int fd = ::open(programma.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  unsigned char testa[4096];
  size_t n = 0;
  while (n < sizeof testa) {
    const ssize_t letti = ::read(fd, testa + n, sizeof testa - n);
    if (letti < 0 && errno == EINTR) continue;
    if (letti <= 0) break;
    n += static_cast<size_t>(letti);
  }
  ::close(fd);
  return BitPe(testa, n);
}

bool KernelEsegue32Bit(std::string* errore) {
  static std::once_flag una;
  static int err = 0;
  std::call_once(una, [] { err = AvviaProgramma32(); });
  if (err != 0 && errore) *errore = std::strerror(err);
  return err == 0;
}

std::string MotivoSenza32Bit() {
  std::string errore;
  if (!KernelEsegue32Bit(&errore))
    return "Questo sistema non esegue programmi a 32 bit: il kernel ha l'emulazione IA-32 spenta (" + errore +
           "). Si riaccende con ia32_emulation=on sulla riga di comando del kernel; altrimenti servono un prefisso a "
           "64 bit (wexo-sandbox CARTELLA --wine --arch x64) e i programmi Windows dello strumento a 64 bit "
           "(compilati con CW_WINDOWS_ARCH=x64).";
  if (Eseguibile(kCaricatore64Debian) && !Eseguibile(kCaricatore32Debian))
    return "Questo sistema non esegue programmi a 32 bit sotto Wine: manca il pacchetto wine32 (" +
           std::string(kCaricatore32Debian) +
           " non c'è). Si installa con: dpkg --add-architecture i386 && apt-get update && apt-get install wine32:i386";
  return {};
}

std::optional<std::filesystem::path> CaricatoreWine64(const std::string& percorso) {
  if (auto trovato = CercaNelPercorso(percorso, "wine64")) return trovato;
  if (CercaNelPercorso(percorso, "wine") && Eseguibile(kCaricatore64Debian))
    return std::filesystem::path(kCaricatore64Debian);
  return std::nullopt;
}

}  // namespace cw
