#pragma once
// A small suite on a temporary prefix: catalogue rows under
// "C:\Progetti VB\Wexo\", the real file service over them, and helpers to
// put bytes in and read them back. Shared by the editing, backup and command
// tests.

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogo.h"
#include "support/fso_di_prova.h"
#include "support/prefisso_temporaneo.h"

namespace cw::test {

inline const std::string kRadice = "C:\\Progetti VB\\Wexo";

// One row: the folder below the root, the project file, the kind.
struct RigaProva {
  std::string cartella;
  std::string file;
  std::string tipo = "dll";
};

inline RigaCatalogo Riga(const RigaProva& r) {
  return {kRadice + "\\" + r.cartella, r.file, "C:\\Orbalis\\Componenti", r.tipo, r.cartella + ".dll"};
}

inline CatalogoComponenti Catalogo(const std::vector<RigaProva>& righe) {
  std::vector<RigaCatalogo> tabella;
  for (const auto& r : righe) tabella.push_back(Riga(r));
  return CatalogoComponenti(std::move(tabella));
}

// Rows given by their full project paths only, as the tools that walk the
// project files see them.
inline CatalogoComponenti CatalogoDiPercorsi(const std::vector<std::string>& percorsi) {
  std::vector<RigaCatalogo> righe;
  for (const auto& p : percorsi) {
    const auto barra = p.rfind('\\');
    righe.push_back({p.substr(0, barra), p.substr(barra + 1), "C:\\Out", "dll", "x.dll"});
  }
  return CatalogoComponenti(std::move(righe));
}

struct SuiteProva {
  explicit SuiteProva(const std::vector<RigaProva>& r) : righe(r), catalogo(Catalogo(r)) {}

  // Windows path of a row's project file, or of a file in its folder.
  std::string Progetto(std::size_t i) const { return kRadice + "\\" + righe[i].cartella + "\\" + righe[i].file; }
  std::string InCartella(std::size_t i, std::string_view nome) const {
    return kRadice + "\\" + righe[i].cartella + "\\" + std::string(nome);
  }

  void Scrivi(const std::string& percorso, std::string_view byte) const { prefisso.Scrivi(percorso, byte); }
  std::string Leggi(const std::string& percorso) const { return prefisso.Leggi(percorso); }
  bool Esiste(const std::string& percorso) const { return prefisso.Esiste(percorso); }
  void SolaLettura(const std::string& percorso) const {
    std::filesystem::permissions(prefisso.Host(percorso),
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
  }
  // Every file name in a row's folder and below, relative to it, sorted.
  std::vector<std::string> FileInCartella(std::size_t i) const {
    std::vector<std::string> nomi;
    const auto base = prefisso.Host(kRadice + "\\" + righe[i].cartella);
    for (const auto& e : std::filesystem::recursive_directory_iterator(base))
      if (e.is_regular_file()) nomi.push_back(std::filesystem::relative(e.path(), base).generic_string());
    std::sort(nomi.begin(), nomi.end());
    return nomi;
  }

  std::vector<RigaProva> righe;
  PrefissoTemporaneo prefisso;
  CatalogoComponenti catalogo;
  FileSystemDiProva fso{prefisso};
};

}  // namespace cw::test
