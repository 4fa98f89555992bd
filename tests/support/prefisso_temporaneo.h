#pragma once
// Temporary folders for tests, removed at the end with everything in them
// (write bits given back first so read-only test files go too; links are
// removed, never followed): an empty folder, and a Wine-style prefix in one
// with dosdevices/c: -> ../drive_c and dosdevices/d: -> ../drive_d.

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace cw::test {

// Gives the owner all rights back (on Windows: clears the read-only
// attribute, which the permission bits do not reach).
void RendiScrivibile(const std::filesystem::path& p);

class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    // A fresh name made here, as mkdtemp would (Windows has none): the
    // folder's creation is what tells it is ours.
    static std::mt19937_64 caso{std::random_device{}()};
    for (int tentativo = 0; tentativo < 100; ++tentativo) {
      dir_ = std::filesystem::temp_directory_path() / ("cw-test-" + std::to_string(caso() % 1000000000000ULL));
      std::error_code ec;
      if (std::filesystem::create_directory(dir_, ec)) return;
    }
    std::abort();
  }
  ~CartellaTemporanea() {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      if (!it->is_symlink()) RendiScrivibile(it->path());
    std::filesystem::remove_all(dir_, ec);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }

 protected:
  std::filesystem::path dir_;
};

inline std::string LeggiFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void ScriviFile(const std::filesystem::path& p, std::string_view byte) {
  std::ofstream(p, std::ios::binary | std::ios::trunc).write(byte.data(), static_cast<std::streamsize>(byte.size()));
}

class PrefissoTemporaneo : public CartellaTemporanea {
 public:
  PrefissoTemporaneo() {
    std::filesystem::create_directories(dir_ / "dosdevices");
    std::filesystem::create_directories(dir_ / "drive_c");
    std::filesystem::create_directories(dir_ / "drive_d");
#ifndef _WIN32  // on Windows the file service maps the drives itself
    std::filesystem::create_directory_symlink("../drive_c", dir_ / "dosdevices" / "c:");
    std::filesystem::create_directory_symlink("../drive_d", dir_ / "dosdevices" / "d:");
#endif
  }

  // Host path of a Windows path on C: or D:, taken literally (no case folding).
  std::filesystem::path Host(std::string_view windowsPath) const {
    std::string p(windowsPath);
    std::filesystem::path out = dir_ / (std::tolower(static_cast<unsigned char>(p[0])) == 'c' ? "drive_c" : "drive_d");
    std::string rest = p.substr(2);
    size_t start = 0;
    while (start <= rest.size()) {
      size_t end = rest.find('\\', start);
      if (end == std::string::npos) end = rest.size();
      if (end > start) out /= rest.substr(start, end - start);
      start = end + 1;
    }
    return out;
  }
  void Scrivi(std::string_view windowsPath, std::string_view bytes) const {
    auto h = Host(windowsPath);
    std::filesystem::create_directories(h.parent_path());
    std::ofstream(h, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string Leggi(std::string_view windowsPath) const {
    std::ifstream in(Host(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Esiste(std::string_view windowsPath) const { return std::filesystem::exists(Host(windowsPath)); }
};

}  // namespace cw::test
