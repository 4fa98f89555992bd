#pragma once
// A Wine-style prefix in a fresh temporary folder, removed at the end of the
// test: dosdevices/c: -> ../drive_c and dosdevices/d: -> ../drive_d.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace cw::test {

class PrefissoTemporaneo {
 public:
  PrefissoTemporaneo() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "cw-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
    std::filesystem::create_directories(dir_ / "dosdevices");
    std::filesystem::create_directories(dir_ / "drive_c");
    std::filesystem::create_directories(dir_ / "drive_d");
    std::filesystem::create_directory_symlink("../drive_c", dir_ / "dosdevices" / "c:");
    std::filesystem::create_directory_symlink("../drive_d", dir_ / "dosdevices" / "d:");
  }
  ~PrefissoTemporaneo() {
    std::error_code ec;
    // Give write bits back first so read-only test files go too.
    for (auto it = std::filesystem::recursive_directory_iterator(dir_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  PrefissoTemporaneo(const PrefissoTemporaneo&) = delete;
  PrefissoTemporaneo& operator=(const PrefissoTemporaneo&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }
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
    std::ofstream(h, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string Leggi(std::string_view windowsPath) const {
    std::ifstream in(Host(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Esiste(std::string_view windowsPath) const { return std::filesystem::exists(Host(windowsPath)); }

 private:
  std::filesystem::path dir_;
};

}  // namespace cw::test
