#include "fuzz/comune.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

namespace cw::fuzz {
namespace {

std::filesystem::path g_cartella;

void Rimuovi() {
  std::error_code ec;
  if (!g_cartella.empty()) std::filesystem::remove_all(g_cartella, ec);
}

}  // namespace

const std::filesystem::path& CartellaLavoro() {
  if (g_cartella.empty()) {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base = std::filesystem::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0
                                           ? shm
                                           : std::filesystem::temp_directory_path();
    std::string modello = (base / "cw-fuzz-XXXXXX").string();
    if (!::mkdtemp(modello.data())) std::abort();
    g_cartella = modello;
    std::atexit(Rimuovi);
  }
  return g_cartella;
}

void ScriviFile(const std::filesystem::path& file, std::string_view byte) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(byte.data(), static_cast<std::streamsize>(byte.size()));
  if (!out) std::abort();
}

std::string LeggiFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace cw::fuzz
