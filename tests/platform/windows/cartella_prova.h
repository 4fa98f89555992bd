#pragma once
// A fresh folder for one test, in the system's temporary folder, removed with
// everything in it (read-only files too) at the end; paths are UTF-8.

#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/windows/cartelle_programma_win32.h"

namespace cw::prova {

class CartellaProva {
 public:
  CartellaProva() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int contatore = 0;
    dir_ = std::filesystem::path(temp) /
           (L"cw-prova-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++contatore));
    std::filesystem::create_directories(dir_);
  }
  ~CartellaProva() {
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir_, ec))
      SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(dir_, ec);
  }
  CartellaProva(const CartellaProva&) = delete;
  CartellaProva& operator=(const CartellaProva&) = delete;

  // The Windows path of name inside the folder, as the program holds it.
  std::string operator/(const std::string& nome) const { return Utf8Di(dir_ / std::filesystem::u8path(nome)); }
  std::string Percorso() const { return Utf8Di(dir_); }

  static std::string Utf8Di(const std::filesystem::path& p) {
    const auto u = p.u8string();
    return std::string(u.begin(), u.end());
  }

 private:
  std::filesystem::path dir_;
};

// A file beside the test program (the test libraries, the worker).
inline std::string AccantoAlProgramma(const char* nome) { return CartellaProva::Utf8Di(CartellaEseguibile() / nome); }

}  // namespace cw::prova
