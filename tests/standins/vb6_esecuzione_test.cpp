// The stand-in development environment run as the tool runs it: a separate
// process with the words of "/make P /outdir D /out E" and $WINEPREFIX.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/prefisso_temporaneo.h"

extern char** environ;

namespace cw {
namespace {

namespace fs = std::filesystem;

const std::string kCartella = "C:\\Progetti VB\\Wexo\\Anagrafe Clienti";
const std::string kProgetto = kCartella + "\\Anagrafe Clienti.vbp";
const std::string kUscita = "C:\\Orbalis\\Componenti";
const std::string kErrori = "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt";

struct Vb6 {
  Vb6() {
    fs::create_directories(pref.Host(kUscita));
    fs::create_directories(pref.Host("C:\\Progetti VB\\Wexo"));
    fs::create_directories(componenti);
    std::ofstream(componenti / "standin-component.so") << "ELF dll";
    std::ofstream(componenti / "standin-exeserver") << "ELF exe server";
    fs::permissions(componenti / "standin-exeserver", fs::perms::owner_all);
  }

  // A project that builds: one form, one module, one class, binary compatibility.
  void ProgettoBuono(const std::string& tipo = "OleDll", const std::string& nome = "Anagrafe Clienti.dll") {
    pref.Scrivi(kProgetto, "Type=" + tipo +
                               "\r\nForm=Form\\frmAnagrafe.frm\r\nModule=modAnagrafe; modAnagrafe.bas\r\n"
                               "Class=clsCliente; Classi\\clsCliente.cls\r\nExeName32=\"" +
                               nome + "\"\r\nCompatibleMode=\"2\"\r\nCompatibleExe32=\"..\\Compat\\Anagrafe.dll\"\r\n");
    pref.Scrivi(kCartella + "\\Form\\frmAnagrafe.frm", "VERSION 5.00\r\n");
    pref.Scrivi(kCartella + "\\modAnagrafe.bas", "Attribute VB_Name = \"modAnagrafe\"\r\n");
    pref.Scrivi(kCartella + "\\Classi\\clsCliente.cls", "VERSION 1.0 CLASS\r\n");
    pref.Scrivi("C:\\Progetti VB\\Wexo\\Compat\\Anagrafe.dll", "compat");
  }

  int Esegui(std::vector<std::string> argomenti, bool noop = false) {
    argomenti.insert(argomenti.begin(), CW_STANDIN_VB6);
    std::vector<char*> argv;
    for (auto& a : argomenti) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> ambiente = {"WINEPREFIX=" + pref.Dir().string(),
                                         "CW_STANDIN_COMPONENTI=" + componenti.string()};
    if (noop) ambiente.push_back("CW_STANDIN_VB6_NOOP=1");
    std::vector<char*> envp;
    for (auto& e : ambiente) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    int stato = 0;
    waitpid(pid, &stato, 0);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  }
  int Compila(bool noop = false) { return Esegui({"/make", kProgetto, "/outdir", kUscita, "/out", kErrori}, noop); }

  std::string Errori() const { return pref.Leggi(kErrori); }
  // The report of a failed build, as the error file holds it.
  static std::string Fallimento(const std::string& motivo) {
    return motivo + "\r\nCompilazione di '" + kProgetto + "' non completata.\r\n";
  }

  test::PrefissoTemporaneo pref;
  fs::path componenti = pref.Dir() / "bin";
};

TEST(StandinVb6, BuildsTheProjectAndReportsSuccess) {
  Vb6 v;
  v.ProgettoBuono();
  v.pref.Scrivi(kErrori, "Compilazione di 'prima' completata.\r\n");
  EXPECT_EQ(v.Compila(), 0);
  // Appended: the report of the previous build is still there.
  EXPECT_EQ(v.Errori(), "Compilazione di 'prima' completata.\r\nCompilazione di '" + kProgetto + "' completata.\r\n");
  EXPECT_EQ(v.pref.Leggi(kUscita + "\\Anagrafe Clienti.dll"), "ELF dll");
}

TEST(StandinVb6, TheBuiltFileIsTheStandInOfTheProjectsKind) {
  {
    Vb6 v;
    v.ProgettoBuono("OleExe", "Anagrafe.exe");
    EXPECT_EQ(v.Compila(), 0);
    EXPECT_EQ(v.pref.Leggi(kUscita + "\\Anagrafe.exe"), "ELF exe server");
    EXPECT_EQ(access(v.pref.Host(kUscita + "\\Anagrafe.exe").c_str(), X_OK), 0);
  }
  {
    Vb6 v;
    v.ProgettoBuono("Exe", "Gestionale Orbalis.exe");
    EXPECT_EQ(v.Compila(), 0);
    const auto host = v.pref.Host(kUscita + "\\Gestionale Orbalis.exe");
    EXPECT_EQ(v.pref.Leggi(kUscita + "\\Gestionale Orbalis.exe").rfind("#!/bin/sh\n", 0), 0u);
    EXPECT_EQ(std::system(("'" + host.string() + "'").c_str()), 0);
  }
  {
    // Without the components at hand, a placeholder.
    Vb6 v;
    v.ProgettoBuono();
    fs::remove_all(v.componenti);
    EXPECT_EQ(v.Compila(), 0);
    EXPECT_EQ(v.pref.Leggi(kUscita + "\\Anagrafe Clienti.dll"), "stand-in build of " + kProgetto + "\n");
  }
}

TEST(StandinVb6, NamesMatchIgnoringCaseAndTheOldBuiltFileIsReplaced) {
  Vb6 v;
  v.ProgettoBuono();
  v.pref.Scrivi(kUscita + "\\anagrafe clienti.DLL", "old");
  EXPECT_EQ(v.Esegui({"/MAKE", "c:\\progetti vb\\WEXO\\anagrafe clienti\\ANAGRAFE CLIENTI.VBP", "/OutDir", kUscita,
                      "/out", kErrori}),
            0);
  EXPECT_NE(v.Errori().find("completata"), std::string::npos);
  EXPECT_EQ(v.Errori().find("non completata"), std::string::npos);
  EXPECT_EQ(v.pref.Leggi(kUscita + "\\anagrafe clienti.DLL"), "ELF dll");
  EXPECT_FALSE(v.pref.Esiste(kUscita + "\\Anagrafe Clienti.dll"));
}

TEST(StandinVb6, WithoutBinaryCompatibilityTheReferenceIsNotNeeded) {
  Vb6 v;
  v.ProgettoBuono();
  fs::remove(v.pref.Host("C:\\Progetti VB\\Wexo\\Compat\\Anagrafe.dll"));
  std::string p = v.pref.Leggi(kProgetto);
  p.replace(p.find("CompatibleMode=\"2\""), 18, "CompatibleMode=\"1\"");
  v.pref.Scrivi(kProgetto, p);
  EXPECT_EQ(v.Compila(), 0);
  EXPECT_EQ(v.Errori(), "Compilazione di '" + kProgetto + "' completata.\r\n");
}

// Each reason a build fails: one "Impossibile" line naming it, the failure
// line, no built file, and still exit status 0.
TEST(StandinVb6, EachFailureIsReportedAndBuildsNothing) {
  struct Caso {
    const char* nome;
    std::function<void(Vb6&)> guasta;
    std::string motivo;
  };
  auto sostituisci = [](Vb6& v, const std::string& da, const std::string& a) {
    std::string p = v.pref.Leggi(kProgetto);
    p.replace(p.find(da), da.size(), a);
    v.pref.Scrivi(kProgetto, p);
  };
  const std::vector<Caso> casi = {
      {"no project", [](Vb6& v) { fs::remove(v.pref.Host(kProgetto)); },
       "Impossibile trovare il file di progetto '" + kProgetto + "'."},
      {"project is a folder",
       [](Vb6& v) {
         fs::remove(v.pref.Host(kProgetto));
         fs::create_directory(v.pref.Host(kProgetto));
       },
       "Impossibile trovare il file di progetto '" + kProgetto + "'."},
      {"unknown type", [&](Vb6& v) { sostituisci(v, "Type=OleDll", "Type=Control"); },
       "Impossibile compilare un progetto di tipo 'Control'."},
      {"no type", [&](Vb6& v) { sostituisci(v, "Type=OleDll\r\n", ""); },
       "Impossibile determinare il tipo del progetto (manca la riga Type=)."},
      {"form", [](Vb6& v) { fs::remove(v.pref.Host(kCartella + "\\Form\\frmAnagrafe.frm")); },
       "Impossibile trovare il file 'Form\\frmAnagrafe.frm'."},
      {"module", [](Vb6& v) { fs::remove(v.pref.Host(kCartella + "\\modAnagrafe.bas")); },
       "Impossibile trovare il file 'modAnagrafe.bas'."},
      {"class", [](Vb6& v) { fs::remove(v.pref.Host(kCartella + "\\Classi\\clsCliente.cls")); },
       "Impossibile trovare il file 'Classi\\clsCliente.cls'."},
      {"compatible file", [](Vb6& v) { fs::remove(v.pref.Host("C:\\Progetti VB\\Wexo\\Compat\\Anagrafe.dll")); },
       "Impossibile trovare il file di compatibilità '..\\Compat\\Anagrafe.dll'."},
      {"no compatible key", [&](Vb6& v) { sostituisci(v, "CompatibleExe32=\"..\\Compat\\Anagrafe.dll\"\r\n", ""); },
       "Impossibile impostare la compatibilità binaria: manca il file di riferimento (CompatibleExe32=)."},
      {"no name", [&](Vb6& v) { sostituisci(v, "ExeName32=\"Anagrafe Clienti.dll\"\r\n", ""); },
       "Impossibile determinare il nome del file da creare (manca la riga ExeName32=)."},
      {"no output folder", [](Vb6& v) { fs::remove_all(v.pref.Host(kUscita)); },
       "Impossibile trovare la cartella di destinazione '" + kUscita + "'."},
      {"read-only built file",
       [](Vb6& v) {
         v.pref.Scrivi(kUscita + "\\Anagrafe Clienti.dll", "locked");
         fs::permissions(v.pref.Host(kUscita + "\\Anagrafe Clienti.dll"),
                         fs::perms::owner_read | fs::perms::group_read);
       },
       "Impossibile scrivere il file '" + kUscita + "\\Anagrafe Clienti.dll'."},
  };
  for (const auto& c : casi) {
    Vb6 v;
    v.ProgettoBuono();
    c.guasta(v);
    EXPECT_EQ(v.Compila(), 0) << c.nome;
    // Windows-1252 on disk: "à" is one byte.
    std::string atteso = Vb6::Fallimento(c.motivo);
    for (size_t k; (k = atteso.find("\xC3\xA0")) != std::string::npos;) atteso.replace(k, 2, "\xE0");
    EXPECT_EQ(v.Errori(), atteso) << c.nome;
    if (std::string(c.nome) != "read-only built file")
      EXPECT_FALSE(v.pref.Esiste(kUscita + "\\Anagrafe Clienti.dll")) << c.nome;
    else
      EXPECT_EQ(v.pref.Leggi(kUscita + "\\Anagrafe Clienti.dll"), "locked");
  }
}

TEST(StandinVb6, AnUnreadableProjectFails) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  Vb6 v;
  v.ProgettoBuono();
  fs::permissions(v.pref.Host(kProgetto), fs::perms::none);
  EXPECT_EQ(v.Compila(), 0);
  EXPECT_EQ(v.Errori(), Vb6::Fallimento("Impossibile leggere il file di progetto '" + kProgetto + "'."));
}

TEST(StandinVb6, NoOpModeOnlyReportsSuccess) {
  Vb6 v;  // no project at all
  EXPECT_EQ(v.Compila(true), 0);
  EXPECT_EQ(v.Errori(), "Compilazione di '" + kProgetto + "' completata.\r\n");
  EXPECT_TRUE(fs::is_empty(v.pref.Host(kUscita)));
}

TEST(StandinVb6, ACommandLineItCannotUse) {
  Vb6 v;
  v.ProgettoBuono();
  EXPECT_EQ(v.Esegui({"/make", kProgetto, "/outdir", kUscita}), 2);  // no /out
  EXPECT_EQ(v.Esegui({"/make", kProgetto, "/out"}), 2);
  EXPECT_EQ(v.Esegui({"/run", kProgetto, "/out", kErrori}), 2);
  EXPECT_FALSE(v.pref.Esiste(kErrori));
  // An error file in a folder that is not there cannot be written.
  EXPECT_EQ(v.Esegui({"/make", kProgetto, "/outdir", kUscita, "/out", "C:\\Manca\\Errori.txt"}), 1);
}

TEST(StandinVb6, WithoutOutdirTheProjectFolderReceivesTheBuild) {
  Vb6 v;
  v.ProgettoBuono();
  EXPECT_EQ(v.Esegui({"/make", kProgetto, "/out", kErrori}), 0);
  EXPECT_EQ(v.pref.Leggi(kCartella + "\\Anagrafe Clienti.dll"), "ELF dll");
}

TEST(StandinVb6, TheReportIsWindows1252) {
  Vb6 v;
  const std::string cartella = "C:\\Progetti VB\\Wexo\\Qualit\xC3\xA0";
  v.pref.Scrivi(cartella + "\\Qualit\xC3\xA0.vbp", "Type=OleDll\r\nExeName32=\"Qualita.dll\"\r\n");
  EXPECT_EQ(v.Esegui({"/make", cartella + "\\Qualit\xC3\xA0.vbp", "/outdir", kUscita, "/out", kErrori}), 0);
  EXPECT_EQ(v.Errori(), "Compilazione di 'C:\\Progetti VB\\Wexo\\Qualit\xE0\\Qualit\xE0.vbp' completata.\r\n");
}

}  // namespace
}  // namespace cw
