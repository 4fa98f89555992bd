#include "platform/linux/impostazioni_linux.h"

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace cw {

namespace fs = std::filesystem;

std::string FileImpostazioniLinux(const DriveTable& unita) {
  if (const char* v = std::getenv(kVariabileImpostazioni); v && *v) return v;
  static constexpr const char* kParti[] = {"Programmi", "CompilaWexo", "WexoUty.ini"};
  // Named by the folder the drive's link points to, so messages show
  // ".../drive_c/..." rather than ".../dosdevices/c:/...".
  const auto link = unita.DriveRoot('c');
  fs::path radice = unita.Prefix() / "drive_c";
  if (link) {
    std::error_code ec;
    const fs::path destinazione = fs::read_symlink(*link, ec);
    radice = ec ? *link : (link->parent_path() / destinazione).lexically_normal();
  }
  // The longest part of the path that exists, then the rest as written.
  for (size_t n = std::size(kParti); link && n > 0; --n) {
    std::string windows = "C:";
    for (size_t i = 0; i < n; ++i) windows += std::string("\\") + kParti[i];
    const auto trovato = unita.Resolve(windows);
    if (!trovato) continue;
    const fs::path relativo = trovato->lexically_relative(*link);
    if (relativo.empty() || *relativo.begin() == "..") break;
    fs::path percorso = radice / relativo;
    for (size_t i = n; i < std::size(kParti); ++i) percorso /= kParti[i];
    return percorso.string();
  }
  for (const char* parte : kParti) radice /= parte;
  return radice.string();
}

}  // namespace cw
