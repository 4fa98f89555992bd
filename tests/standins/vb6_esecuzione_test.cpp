// The stand-in development environment run as the tool runs it: a separate
// process with the words of "/make P /outdir D /out E" and $WINEPREFIX.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
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

  // altri: more variables; durante runs while the build does.
  int Esegui(std::vector<std::string> argomenti, bool noop = false, const std::vector<std::string>& altri = {},
             const std::function<void()>& durante = nullptr) {
    argomenti.insert(argomenti.begin(), CW_STANDIN_VB6);
    std::vector<char*> argv;
    for (auto& a : argomenti) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> ambiente = {"WINEPREFIX=" + pref.Dir().string(),
                                         "CW_STANDIN_COMPONENTI=" + componenti.string()};
    if (noop) ambiente.push_back("CW_STANDIN_VB6_NOOP=1");
    ambiente.insert(ambiente.end(), altri.begin(), altri.end());
    std::vector<char*> envp;
    for (auto& e : ambiente) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    if (durante) durante();
    int stato = 0;
    waitpid(pid, &stato, 0);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  }
  int Compila(bool noop = false, const std::vector<std::string>& altri = {},
              const std::function<void()>& durante = nullptr) {
    return Esegui({"/make", kProgetto, "/outdir", kUscita, "/out", kErrori}, noop, altri, durante);
  }

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

// With the run's start given, each file of the output folder the project
// references must have been built since, and be still, when the build starts
// and when it ends; files elsewhere are not the suite's.
TEST(StandinVb6, TheOrderCheckFailsAReferenceNotRebuiltInThisRun) {
  const std::string kBase = kUscita + "\\Base.dll", kInizio = "C:\\inizio";
  const auto vecchio = fs::file_time_type::clock::now() - std::chrono::hours(1);
  struct Caso {
    const char* nome;
    std::function<void(Vb6&)> prepara;
    std::vector<std::string> ambiente;
    std::function<void(Vb6&)> durante;
    std::string motivo;  // "": built
  };
  const std::vector<Caso> casi = {
      {"rebuilt in this run", [&](Vb6& v) { v.pref.Scrivi(kBase, "nuovo"); }, {}, nullptr, ""},
      {"a bare control library found in the output folder, in other letter case",
       [&](Vb6& v) {
         v.pref.Scrivi(kUscita + "\\base.ocx", "vecchio");
         fs::last_write_time(v.pref.Host(kUscita + "\\base.ocx"), vecchio);
       },
       {},
       nullptr,
       "Impossibile caricare la libreria '" + kUscita + "\\BASE.OCX': non è stata ricompilata in questa esecuzione."},
      {"missing", [](Vb6&) {}, {}, nullptr, "Impossibile trovare il progetto o la libreria '" + kBase + "'."},
      {"left by an earlier run",
       [&](Vb6& v) {
         v.pref.Scrivi(kBase, "vecchio");
         fs::last_write_time(v.pref.Host(kBase), vecchio);
       },
       {},
       nullptr,
       "Impossibile caricare la libreria '" + kBase + "': non è stata ricompilata in questa esecuzione."},
      {"being written",
       [&](Vb6& v) {
         v.pref.Scrivi(kBase, "nuovo");
         v.pref.Scrivi(kBase + ".vb6-scrittura", "");
       },
       {},
       nullptr,
       "Impossibile caricare la libreria '" + kBase + "': il file è in fase di scrittura."},
      {"rewritten during the build",
       [&](Vb6& v) { v.pref.Scrivi(kBase, "nuovo"); },
       {"CW_STANDIN_MS=400"},
       [&](Vb6& v) {
         std::this_thread::sleep_for(std::chrono::milliseconds(100));
         v.pref.Scrivi(kBase + ".vb6-scrittura", "");
       },
       "Impossibile caricare la libreria '" + kBase + "': il file è in fase di scrittura."},
      {"no check without the run's start", [](Vb6&) {}, {"CW_STANDIN_INIZIO="}, nullptr, ""},
      {"a start that is not there",
       [](Vb6&) {},
       {"CW_STANDIN_INIZIO=C:\\manca"},
       nullptr,
       "Impossibile leggere l'inizio dell'esecuzione 'C:\\manca'."},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    Vb6 v;
    v.ProgettoBuono();
    std::string p = v.pref.Leggi(kProgetto);
    const bool ocx = std::string(c.nome).find("control") != std::string::npos;
    p += ocx ? "Object={A}#1.0#0; BASE.OCX\r\n"
             : "Reference=*\\G{A}#1.0#0#" + kBase + "#Base\r\nReference=*\\G{B}#1.0#0#C:\\Windows\\x.tlb#X\r\n";
    v.pref.Scrivi(kProgetto, p);
    v.pref.Scrivi(kInizio, "");
    fs::last_write_time(v.pref.Host(kInizio), vecchio + std::chrono::minutes(30));
    c.prepara(v);
    std::vector<std::string> ambiente = c.ambiente;
    if (std::none_of(ambiente.begin(), ambiente.end(),
                     [](const std::string& a) { return a.starts_with("CW_STANDIN_INIZIO="); }))
      ambiente.push_back("CW_STANDIN_INIZIO=" + kInizio);
    EXPECT_EQ(v.Compila(false, ambiente, c.durante ? [&] { c.durante(v); } : std::function<void()>()), 0);
    std::string atteso =
        c.motivo.empty() ? "Compilazione di '" + kProgetto + "' completata.\r\n" : Vb6::Fallimento(c.motivo);
    for (size_t k; (k = atteso.find("\xC3\xA8")) != std::string::npos;) atteso.replace(k, 2, "\xE8");
    EXPECT_EQ(v.Errori(), atteso);
    EXPECT_EQ(v.pref.Esiste(kUscita + "\\Anagrafe Clienti.dll"), c.motivo.empty());
    EXPECT_FALSE(v.pref.Esiste(kUscita + "\\Anagrafe Clienti.dll.vb6-scrittura"));
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
