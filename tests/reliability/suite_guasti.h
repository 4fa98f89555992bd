#pragma once
// A five-row suite for the failure tests: project files in the shape the
// development environment writes, some rows with backup generations already
// there, and a snapshot of every file so a test can tell what a failed pass
// changed.

#include <map>
#include <string>
#include <vector>

#include "base/errors.h"
#include "commands/comandi.h"
#include "support/fault_injecting_filesystem.h"
#include "support/suite_prova.h"

namespace cw::test {

inline const std::vector<RigaProva> kRigheGuasti = {
    {"Base", "Base.vbp"},     {"Archivio", "Archivio.vbp"},        {"Servizi", "Servizi.vbp", "exe"},
    {"Stampe", "Stampe.vbp"}, {"Gestione", "Gestione.vbp", "app"},
};

inline std::string ProgettoDiProva(const std::string& nome, int i) {
  return "Type=OleDll\r\n"
         "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\Windows\\System32\\stdole2.tlb#OLE "
         "Automation\r\n"
         "Class=cls" +
         nome + "; cls" + nome +
         ".cls\r\n"
         "Startup=\"(None)\"\r\n"
         "Name=\"" +
         nome +
         "\"\r\n"
         "CompatibleMode=\"1\"\r\n"
         "MajorVer=1\r\n"
         "MinorVer=" +
         std::to_string(i) +
         "\r\n"
         "RevisionVer=" +
         std::to_string(40 + i) + "\r\n" + (i % 2 ? "FavorPentiumPro(tm)=0\r\n" : "FavorPentiumPro(tm)=-1\r\n") +
         "VersionComments=Componente \xE8 " + nome +
         "\r\n"
         "DllBaseAddress=&H1100" +
         std::to_string(i) + "000\r\n";
}

// What the version stamp of "2", "0", "5" makes of a project file.
inline std::string ProgettoVersione2_0_5(const std::string& nome, int i) {
  std::string s = ProgettoDiProva(nome, i);
  const auto sostituisci = [&](const std::string& da, const std::string& a) { s.replace(s.find(da), da.size(), a); };
  sostituisci("MajorVer=1\r\n", "MajorVer=2\r\n");
  sostituisci("MinorVer=" + std::to_string(i) + "\r\n", "MinorVer=0\r\n");
  sostituisci("RevisionVer=" + std::to_string(40 + i) + "\r\n", "RevisionVer=5\r\n");
  if (i % 2) sostituisci("FavorPentiumPro(tm)=0\r\n", "FavorPentiumPro(tm)=-1\r\n");
  return s;
}

struct SuiteGuasti : SuiteProva {
  SuiteGuasti() : SuiteProva(kRigheGuasti) {
    for (size_t i = 0; i < righe.size(); ++i) {
      const std::string nome = righe[i].file.substr(0, righe[i].file.size() - 4);
      Scrivi(Progetto(i), ProgettoDiProva(nome, static_cast<int>(i)));
      Scrivi(InCartella(i, "cls" + nome + ".cls"), "VERSION 1.0 CLASS\r\n");
      // Generations already there: none, some, all five.
      const int generazioni = static_cast<int>(i) * 2 % 6;
      for (int k = 1; k <= generazioni; ++k)
        Scrivi(Progetto(i) + "_" + std::to_string(k), "generazione " + std::to_string(k) + "\r\n");
    }
  }

  std::string Nome(size_t i) const { return righe[i].file.substr(0, righe[i].file.size() - 4); }
  std::string Vecchio(size_t i) const { return ProgettoDiProva(Nome(i), static_cast<int>(i)); }
  std::string Nuovo(size_t i) const { return ProgettoVersione2_0_5(Nome(i), static_cast<int>(i)); }
  std::string Copia(size_t i) const { return Progetto(i) + "_tmp"; }

  // Every project file holds its old or its new content, or its copy holds
  // the old one in full.
  bool NienteDiPerso() const {
    for (size_t i = 0; i < righe.size(); ++i) {
      const std::string ora = Leggi(Progetto(i));
      if (ora != Vecchio(i) && ora != Nuovo(i) && !(Esiste(Copia(i)) && Leggi(Copia(i)) == Vecchio(i))) return false;
    }
    return true;
  }

  // Every file of a row's folder with its bytes.
  std::map<std::string, std::string> Stato(size_t i) const {
    std::map<std::string, std::string> out;
    for (const auto& nome : FileInCartella(i)) out[nome] = Leggi(InCartella(i, nome));
    return out;
  }
};

}  // namespace cw::test
