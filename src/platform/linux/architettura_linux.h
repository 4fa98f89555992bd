#pragma once
// Which Windows programs this host can start under Wine. Debian's `wine`
// runs every program through its 32-bit loader, which a kernel without its
// IA-32 emulation cannot start ("Exec format error"), nor a system without
// the wine32 package: a 64-bit program is then started with the 64-bit
// loader directly, and a 32-bit one cannot be started at all. The tool says
// so, with the remedy, rather than Wine's bare "Exec format error".

#include <filesystem>
#include <optional>
#include <string>

namespace cw {

// The bitness of a Windows program or library on the host (32 or 64), 0
// when the file is none or cannot be read.
int BitProgramma(const std::filesystem::path& programma);

// Whether the kernel starts 32-bit x86 programs: asked once, by starting
// the smallest such program there is. Where not, errore holds the system's
// message ("Exec format error").
bool KernelEsegue32Bit(std::string* errore = nullptr);

// Why no 32-bit Windows program starts under Wine here, with the remedy, in
// the tool's words; "" when one can.
std::string MotivoSenza32Bit();

// The 64-bit loader: `wine64` in percorso (a PATH-style list), or, where
// `wine` is there, the one Debian keeps beside its 32-bit one in /usr/lib/wine.
std::optional<std::filesystem::path> CaricatoreWine64(const std::string& percorso);

}  // namespace cw
