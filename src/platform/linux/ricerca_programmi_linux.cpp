#include "platform/linux/ricerca_programmi_linux.h"

#include <system_error>
#include <vector>

#include "base/ansi.h"
#include "platform/linux/cartelle_programma_linux.h"

namespace cw {

namespace fs = std::filesystem;

namespace {

bool FileRegolare(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// A file named so in a host folder: that exact name, else one that matches
// ignoring letter case, as Windows would find it.
std::optional<fs::path> CercaInCartella(const fs::path& cartella, const std::string& nome) {
  if (cartella.empty()) return std::nullopt;
  if (FileRegolare(cartella / nome)) return cartella / nome;
  std::error_code ec;
  for (fs::directory_iterator it(cartella, ec), end; !ec && it != end; it.increment(ec)) {
    if (UgualiSenzaCasoAscii(it->path().filename().string(), nome) && FileRegolare(it->path())) return it->path();
  }
  return std::nullopt;
}

}  // namespace

RicercaProgrammiLinux::RicercaProgrammiLinux(DriveTable drives, fs::path cartellaProgramma)
    : drives_(std::move(drives)),
      cartellaProgramma_(cartellaProgramma.empty() ? CartellaEseguibile() : std::move(cartellaProgramma)) {}

std::optional<fs::path> RicercaProgrammiLinux::Trova(const std::string& programma) const {
  if (DriveTable::IsDrivePath(programma)) {
    auto host = drives_.Resolve(programma);
    if (host && FileRegolare(*host)) return host;
    return std::nullopt;
  }
  // An absolute host path names its program directly (a viewer given on
  // the batch command line, "/usr/bin/less").
  if (programma.starts_with("/")) {
    if (FileRegolare(programma)) return fs::path(programma);
    return std::nullopt;
  }
  if (programma.empty() || programma.find_first_of("\\/:") != std::string::npos) return std::nullopt;
  // A bare name: the program's own folder, then the system folders. As on
  // Windows, a name without an extension may stand for its ".exe".
  std::vector<std::string> nomi = {programma};
  if (programma.find('.') == std::string::npos) nomi.push_back(programma + ".exe");
  for (const auto& nome : nomi)
    if (auto p = CercaInCartella(cartellaProgramma_, nome)) return p;
  for (const char* cartella : {"C:\\Windows\\System32\\", "C:\\Windows\\"}) {
    for (const auto& nome : nomi) {
      auto host = drives_.Resolve(cartella + nome);
      if (host && FileRegolare(*host)) return host;
    }
  }
  return std::nullopt;
}

}  // namespace cw
