#pragma once
// Doubles for the compile loop and the full run: a process service that
// plays the development environment (and the viewer) without starting
// anything, a RegistraDll that records its calls, and a small suite on a
// temporary prefix.

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "catalogue/catalogo.h"
#include "platform/processes.h"
#include "registration/registratore.h"
#include "support/fso_di_prova.h"
#include "support/prefisso_temporaneo.h"

namespace cw::test {

// The words of a command line by the Windows rule our lines need: double
// quotes group, and are dropped.
inline std::vector<std::string> Parole(const std::string& riga) {
  std::vector<std::string> parole;
  std::string parola;
  bool virgolette = false, aperta = false;
  for (char c : riga) {
    if (c == '"') {
      virgolette = !virgolette;
      aperta = true;
    } else if (c == ' ' && !virgolette) {
      if (aperta) parole.push_back(parola);
      parola.clear();
      aperta = false;
    } else {
      parola += c;
      aperta = true;
    }
  }
  if (aperta) parole.push_back(parola);
  return parole;
}

class ProcessiFinti : public Processes {
 public:
  struct Avvio {
    std::string riga;
    int stile;
  };
  std::vector<Avvio> avvii;
  // "shell:<line>", "open:<access>:<inherit>:<pid>", "wait:<ms>", "close:<handle>", in order.
  std::vector<std::string> eventi;
  // Plays the started program; runs inside Shell.
  std::function<void(const std::string& riga)> programma;
  bool nonAvviabile = false;  // Shell raises 53
  bool senzaHandle = false;   // OpenProcess answers 0
  // How long the program last started runs, ms: a wait shorter than that
  // times out (kInfinite: it never ends).
  std::uint32_t durata = 0;
  std::vector<FinestraMostrata> finestre;  // what FinestreMostrate reads
  bool schermo = false;                    // SalvaSchermata succeeds

  std::uint32_t Shell(const std::string& riga, int stile) override {
    eventi.push_back("shell:" + riga);
    if (nonAvviabile) SollevaErrore(kFileNonTrovato);
    avvii.push_back({riga, stile});
    if (programma) programma(riga);
    return 4000 + static_cast<std::uint32_t>(avvii.size());
  }
  HandleProcesso OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override {
    eventi.push_back("open:" + std::to_string(access) + ":" + std::to_string(inherit) + ":" + std::to_string(pid));
    return senzaHandle ? 0 : static_cast<HandleProcesso>(pid) + 1;
  }
  std::uint32_t WaitForSingleObject(HandleProcesso, std::uint32_t ms) override {
    eventi.push_back("wait:" + std::to_string(ms));
    return ms != kInfinite && durata > ms ? kWaitTimeout : kWaitObject0;
  }
  void CloseHandle(HandleProcesso h) override { eventi.push_back("close:" + std::to_string(h)); }
  // Started and waited for: a program that ends at once with exit code 0.
  HandleProcesso AvviaConHandle(const std::string& riga, int stile) override {
    return static_cast<HandleProcesso>(Shell(riga, stile)) + 1;
  }
  bool GetExitCodeProcess(HandleProcesso, std::uint32_t& code) override {
    code = 0;
    return true;
  }
  void TerminateProcess(HandleProcesso h) override { eventi.push_back("terminate:" + std::to_string(h)); }
  std::vector<FinestraMostrata> FinestreMostrate(HandleProcesso h) override {
    eventi.push_back("finestre:" + std::to_string(h));
    return finestre;
  }
  bool SalvaSchermata(const std::string& percorso) override {
    eventi.push_back("schermata:" + percorso);
    return schermo;
  }
};

class RegistratoreFinto : public RegistratoreDll {
 public:
  struct Chiamata {
    std::string percorso;
    std::int32_t flag;
    bool operator==(const Chiamata&) const = default;
  };
  std::vector<Chiamata> chiamate;
  std::deque<bool> esiti;  // answers, true when the queue is empty
  std::function<void()> alChiamare;

  bool RegistraDll(const std::string& percorso, std::int32_t flag) override {
    chiamate.push_back({percorso, flag});
    if (alChiamare) alChiamare();
    if (esiti.empty()) return true;
    const bool e = esiti.front();
    esiti.pop_front();
    return e;
  }
};

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
      processi.durata = durate.count(p[2]) ? durate[p[2]] : 0;
      if (processi.durata == kInfinite) return;  // stuck before it reports anything
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
  // Project paths and how long their build runs, ms; kInfinite: it never
  // ends and writes no report.
  std::map<std::string, std::uint32_t> durate;
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
