#pragma once
// The Wine tests' view of the build's Windows programs: 32-bit ones run in a
// prefix Wine makes by default, through `wine`; 64-bit ones (a host that runs
// no 32-bit program) in a win64 prefix, through the 64-bit loader. A test
// skips only for what no install can mend (the kernel); a missing Wine is a
// failure under CI.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/linux/architettura_linux.h"

namespace cw::test {

// The bitness of the build's Windows programs.
inline int BitProgrammiWindows() {
  return BitProgramma(std::filesystem::path(CW_WINDOWS_BIN_DIR) / "compilawexo-agente.exe");
}
inline bool ProgrammiWindowsA64() { return BitProgrammiWindows() == 64; }

// The loader to write before a Windows program in a shell command, and the
// variables the prefix's first start needs: "WINEARCH=win64 /usr/lib/wine/wine64".
inline std::string ComandoWine() {
  if (!ProgrammiWindowsA64()) return "wine";
  const char* path = std::getenv("PATH");
  const auto caricatore = CaricatoreWine64(path ? path : "");
  return "WINEARCH=win64 " + (caricatore ? caricatore->string() : std::string("wine64"));
}

// Why the Wine tests cannot run here, "" when they can; daSaltare when no
// install step mends it (the test then skips, else it fails under CI).
inline std::string MotivoSenzaWine(bool& daSaltare) {
  daSaltare = false;
  const std::string cerca = ProgrammiWindowsA64() ? "command -v wine64 >/dev/null 2>&1 || test -x /usr/lib/wine/wine64"
                                                  : "command -v wine >/dev/null 2>&1";
  if (std::system(cerca.c_str()) != 0)
    return ProgrammiWindowsA64() ? "wine64 is not installed" : "wine is not installed";
  if (!ProgrammiWindowsA64()) {
    std::string errore;
    if (!KernelEsegue32Bit(&errore)) {
      daSaltare = true;
      return "the build's Windows programs are 32-bit and this kernel runs no 32-bit programs (" + errore +
             "): configure with CW_WINDOWS_ARCH=x64 or auto";
    }
    if (const std::string motivo = MotivoSenza32Bit(); !motivo.empty()) return motivo;
  }
  return {};
}

}  // namespace cw::test
