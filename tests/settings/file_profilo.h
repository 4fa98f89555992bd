#pragma once
// A settings file in a fresh temporary folder, with the reader's and the
// writer's calls at hand, for the tests of this folder.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "support/prefisso_temporaneo.h"
#include "support/sistema_prova.h"

namespace cw::test {

class FileProfilo {
 public:
  FileProfilo() : file_((tmp_.Dir() / "WexoUty.ini").string()) {}

  const std::string& Percorso() const { return file_; }
  const std::filesystem::path& Cartella() const { return tmp_.Dir(); }

  void Metti(std::string_view bytes) const {
    std::ofstream(file_, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string Contenuto() const {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Esiste() const { return std::filesystem::exists(file_); }
  unsigned Modo() const {
    struct stat st {};
    ::stat(file_.c_str(), &st);
    return st.st_mode & 07777;
  }

  // The reader with a buffer of n + 1 blanks, as the settings module asks it;
  // the text before the NUL, which must stand where the count says.
  std::string Leggi(std::string_view sezione, std::string_view chiave, std::string_view predefinito = "DEF",
                    size_t n = 254) const {
    std::string buffer(n + 1, ' ');
    const size_t copiati =
        ProfiloDiProva().GetPrivateProfileStringA(file_, sezione, chiave, predefinito, buffer.data(), n);
    if (n == 0) return buffer;
    if (copiati >= n || buffer[copiati] != '\0') return "<count " + std::to_string(copiati) + " without its NUL>";
    return buffer.substr(0, copiati);
  }
  bool Scrivi(std::string_view sezione, std::string_view chiave, std::string_view valore) const {
    return ProfiloDiProva().WritePrivateProfileStringA(file_, sezione, chiave, valore);
  }

 private:
  PrefissoTemporaneo tmp_;
  std::string file_;
};

}  // namespace cw::test
