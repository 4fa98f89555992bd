#pragma once
// A fresh empty temporary folder for the sandbox tests, removed at the end
// (links are removed, never followed).

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace cw::test {

class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    std::string modello = (std::filesystem::temp_directory_path() / "cw-sandbox-XXXXXX").string();
    if (!mkdtemp(modello.data())) std::abort();
    dir_ = modello;
  }
  ~CartellaTemporanea() {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      if (!it->is_symlink())
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

inline std::string LeggiFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void ScriviFile(const std::filesystem::path& p, std::string_view byte) {
  std::ofstream(p, std::ios::binary | std::ios::trunc).write(byte.data(), static_cast<std::streamsize>(byte.size()));
}

}  // namespace cw::test
