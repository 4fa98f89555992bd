#pragma once
// For the compile loop and the full run: a small suite on a temporary
// prefix whose development environment (and viewer) the fake process
// service plays without starting anything, and a snapshot of a folder.

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogo.h"
#include "support/fso_di_prova.h"
#include "support/parole.h"
#include "support/prefisso_temporaneo.h"
#include "support/processi_finti.h"
#include "support/registratore_finto.h"

namespace cw::test {

inline const std::string kRadiceProva = "C:\\Progetti VB\\Wexo";
inline const std::string kUscitaProva = "C:\\Orbalis\\Componenti";

struct RigaSuite {
  std::string nome;  // folder below the root and project file name, without ".vbp"
  std::string tipo = "dll";
  std::string fileOutput = {};  // default: nome + ".dll" or ".exe"
};

// A suite on a temporary prefix whose development environment is played by
// ProcessiFinti: a build appends its report to the error file and writes the
// built file, and fails for the projects named in `fallite`.
struct SuiteCompilazione {
  explicit SuiteCompilazione(const std::vector<RigaSuite>& righe) : catalogo(Tabella(righe)) {
    std::filesystem::create_directories(prefisso.Host(kUscitaProva));
    std::filesystem::create_directories(prefisso.Host(kRadiceProva));
    for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i)
      uscite[catalogo.FileProgettoCompleto(i)] = catalogo(i, kFileOutput);
    processi.programma = [this](const std::string& riga) { Programma(riga); };
  }

  static CatalogoComponenti Tabella(const std::vector<RigaSuite>& righe) {
    std::vector<RigaCatalogo> t;
    for (const auto& r : righe) {
      std::string out = r.fileOutput;
      if (out.empty()) out = r.nome + (r.tipo.rfind("dll", 0) == 0 ? ".dll" : ".exe");
      t.push_back({kRadiceProva + "\\" + r.nome, r.nome + ".vbp", kUscitaProva, r.tipo, out});
    }
    return CatalogoComponenti(std::move(t));
  }

  // The project files, so the backup and the editing passes find them.
  void ScriviProgetti() const {
    for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i)
      prefisso.Scrivi(catalogo.FileProgettoCompleto(i),
                      "Type=OleDll\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\nCompatibleMode=\"1\"\r\n"
                      "FavorPentiumPro(tm)=0\r\n");
  }

  void Accoda(const std::string& file, const std::string& testo) const {
    std::ofstream(prefisso.Host(file), std::ios::binary | std::ios::app) << testo;
  }

  void Programma(const std::string& riga) {
    const auto p = Parole(riga);
    if (p.size() == 7 && p[1] == "/make") {
      costruiti.push_back(p[2]);
      if (processi.appesi.count(riga)) return;  // stuck before it reports anything
      if (fallite.count(p[2])) {
        Accoda(p[6], "Impossibile trovare il file 'Form\\X.frm'.\r\nCompilazione di '" + p[2] + "' " + parolaFallita +
                         ".\r\n");
      } else {
        if (!senzaFileErrori) Accoda(p[6], "Compilazione di '" + p[2] + "' completata.\r\n");
        prefisso.Scrivi(p[4] + "\\" + uscite[p[2]], "built " + p[2]);
      }
    } else {
      visualizzati.push_back(riga);
      if (alVisualizzatore) alVisualizzatore(riga);
    }
  }

  PrefissoTemporaneo prefisso;
  CatalogoComponenti catalogo;
  FileSystemDiProva fso{prefisso};
  ProcessiFinti processi;
  std::map<std::string, std::string> uscite;  // project path -> built file name
  std::set<std::string> fallite;              // project paths whose build fails
  std::string parolaFallita = "non completata";
  bool senzaFileErrori = false;           // successful builds write no report
  std::vector<std::string> costruiti;     // project paths, in build order
  std::vector<std::string> visualizzati;  // other command lines (the viewer)
  std::function<void(const std::string&)> alVisualizzatore;
};

}  // namespace cw::test

namespace cw::test {

// Every file below a folder with its bytes and whether it can be written:
// two snapshots are equal when nothing was created, changed or removed.
inline std::map<std::string, std::string> Albero(const std::filesystem::path& dir) {
  std::map<std::string, std::string> albero;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (e.is_directory()) {
      albero[std::filesystem::relative(e.path(), dir).generic_string() + "/"] = "";
    } else if (e.is_regular_file()) {
      std::ifstream in(e.path(), std::ios::binary);
      const bool scrivibile =
          (e.status().permissions() & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
      albero[std::filesystem::relative(e.path(), dir).generic_string()] =
          std::string(scrivibile ? "rw:" : "r:") + std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return albero;
}

}  // namespace cw::test
