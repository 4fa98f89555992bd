// The compile step under a real Wine, on one --wine sandbox for the program:
// the command line as the Windows development environment receives it, and
// a failed build shown in Wine's own Notepad under Xvfb.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/processes_linux.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Leggi(const fs::path& file) {
  std::ostringstream testo;
  testo << std::ifstream(file, std::ios::binary).rdbuf();
  return testo.str();
}

// What a command printed (no Wine program among them, so a pipe is safe).
std::string Stampa(const std::string& comando) {
  std::string out;
  if (FILE* p = ::popen((comando + " 2>/dev/null").c_str(), "r")) {
    char b[256];
    for (size_t n; (n = std::fread(b, 1, sizeof b, p)) > 0;) out.append(b, n);
    ::pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

bool Presente(const char* programma) {
  return std::system((std::string("command -v ") + programma + " >/dev/null 2>&1").c_str()) == 0;
}

class CompilazioneWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!Presente("wine")) {
      motivo_ = "wine is not installed";
      return;
    }
    cartella_ = new test::CartellaTemporanea;
    catalogo_ = new CatalogoComponenti;
    CaricaCatalogo(*catalogo_);
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    try {
      sandbox::CreaSandbox(Prefisso(), *catalogo_, {.programmiWindows = CW_WINDOWS_BIN_DIR});
    } catch (const std::exception& e) {
      motivo_ =
          std::string("no Wine prefix could be made (") + e.what() + "): this machine may not run 32-bit programs";
      return;
    }
    std::system((Ambiente() + "wineserver -p >/dev/null 2>&1").c_str());
  }
  static void TearDownTestSuite() {
    if (!cartella_) return;
    std::system((Ambiente() + "wineserver -k >/dev/null 2>&1").c_str());
    delete catalogo_;
    delete cartella_;
  }
  void SetUp() override {
    if (motivo_.empty()) return;
    if (std::getenv("CI") && motivo_ == "wine is not installed") FAIL() << motivo_;
    GTEST_SKIP() << motivo_;
  }
  static fs::path Prefisso() { return cartella_->Dir() / "sandbox"; }
  static std::string Ambiente() { return "WINEPREFIX='" + Prefisso().string() + "' "; }

  static inline test::CartellaTemporanea* cartella_ = nullptr;
  static inline CatalogoComponenti* catalogo_ = nullptr;
  static inline std::string motivo_;
};

TEST_F(CompilazioneWine, TheDevelopmentEnvironmentGetsTheCommandLineAsTheToolWroteIt) {
  // The stand-in appends the raw GetCommandLineW text to this file.
  const std::string registro = "C:\\righe-comando.txt";
  const fs::path host = Prefisso() / "drive_c" / "righe-comando.txt";
  ::setenv("CW_STANDIN_RIGHE_COMANDO", registro.c_str(), 1);
  ProcessesLinux processi{DriveTable(Prefisso())};
  struct Caso {
    std::string progetto, cartellaOutput;
  };
  const std::vector<Caso> casi = {
      {catalogo_->FileProgettoCompleto(0), (*catalogo_)(0, kCartellaOutput)},  // a folder without blanks
      {"C:\\Progetti VB\\Wexo\\Nuovo Progetto\\Il Progetto.vbp", "C:\\Orbalis\\Componenti Nuovi"},
      {"C:\\Progetti VB\\Wexo\\Utilita\\Utilita.vbp", "C:\\Orbalis\\Uscita di prova\\"},  // a trailing backslash
  };
  for (const Caso& c : casi) {
    fs::remove(host);
    const std::string riga = RigaDiComando(c.progetto, c.cartellaOutput);
    const HandleProcesso h = processi.OpenProcess(kProcessAllAccess, false, processi.Shell(riga, kFinestraRidotta));
    ASSERT_NE(h, 0u);
    processi.WaitForSingleObject(h, kInfinite);
    processi.CloseHandle(h);
    std::string ricevuta = Leggi(host);
    if (!ricevuta.empty() && ricevuta.back() == '\n') ricevuta.pop_back();
    EXPECT_EQ(ricevuta, riga);
  }
  ::unsetenv("CW_STANDIN_RIGHE_COMANDO");
}

TEST_F(CompilazioneWine, AFailedBuildIsShownInNotepadAndTheRunEndsWhenItIsClosed) {
  for (const char* programma : {"Xvfb", "xdotool"}) {
    if (Presente(programma)) continue;
    if (std::getenv("CI")) FAIL() << programma << " is not installed";
    GTEST_SKIP() << programma << " is not installed";
  }
  const fs::path lavoro = cartella_->Dir();
  // One Xvfb for the test, on a display it picks itself.
  const fs::path schermo = lavoro / "schermo", pidXvfb = lavoro / "xvfb.pid";
  std::system(("Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>'" + schermo.string() +
               "' >/dev/null 2>&1 </dev/null & echo $! >'" + pidXvfb.string() + "'")
                  .c_str());
  std::string numero;
  for (int prova = 0; prova < 100 && numero.empty(); ++prova) {
    std::this_thread::sleep_for(100ms);
    const std::string letto = Leggi(schermo);
    if (letto.ends_with("\n")) numero = letto.substr(0, letto.size() - 1);
  }
  // Ended however the test ends, failed assertions included.
  struct Fine {
    pid_t pid;
    ~Fine() {
      if (pid > 0) ::kill(pid, SIGTERM);
    }
  } xvfb{std::atoi(Leggi(pidXvfb).c_str())};
  ASSERT_FALSE(numero.empty()) << "Xvfb did not start";
  const std::string display = "DISPLAY=:" + numero + " ";
  // The prefix's desktop was started without a display: a new server starts one with it.
  std::system((Ambiente() + "wineserver -k >/dev/null 2>&1").c_str());

  // Row 1's build fails: a class its project names is missing.
  const DriveTable unita(Prefisso());
  const fs::path progetto = *unita.Resolve(catalogo_->FileProgettoCompleto(1));
  std::istringstream righe(Leggi(progetto));
  std::string membro;
  for (std::string riga; std::getline(righe, riga) && membro.empty();)
    if (riga.starts_with("Class=")) membro = riga.substr(riga.find("; ") + 2, riga.find('\r') - riga.find("; ") - 2);
  ASSERT_FALSE(membro.empty());
  fs::remove(progetto.parent_path() / membro);

  const fs::path bin = lavoro / "bin";
  fs::create_directories(bin / "windows");
  fs::copy(fs::path(CW_BIN_DIR) / "compilawexo-batch", bin / "compilawexo-batch");
  for (const char* programma : {"compilawexo-regworker.exe", "compilawexo-avvio.exe"})
    fs::copy(fs::path(CW_WINDOWS_BIN_DIR) / programma, bin / "windows" / programma);
  const fs::path uscita = lavoro / "uscita.txt", stato = lavoro / "stato.txt";
  // The window's own viewer name, found in the prefix: Wine's Notepad.
  std::system(("(" + Ambiente() + display + "'" + (bin / "compilawexo-batch").string() +
               "' tutto binaria --principale 1 --secondario 0 --revisione 0 --visualizzatore Notepad.exe; echo $? >'" +
               stato.string() + "') >'" + uscita.string() + "' 2>&1 </dev/null &")
                  .c_str());

  std::string finestra;
  for (int prova = 0; prova < 1200 && finestra.empty(); ++prova) {
    std::this_thread::sleep_for(100ms);
    finestra = Stampa(display + "xdotool search --name 'ErroriCompilazione' | head -n 1");
  }
  ASSERT_FALSE(finestra.empty()) << Leggi(uscita);
  EXPECT_NE(Stampa(display + "xdotool getwindowname " + finestra).find("ErroriCompilazione.txt"), std::string::npos);
  // While Notepad is open the run waits: the failure and the message are out, the end is not.
  std::this_thread::sleep_for(500ms);
  const std::string prima = Leggi(uscita);
  EXPECT_FALSE(fs::exists(stato));
  EXPECT_NE(prima.find("1) Compilazione COSTANTI.VBP in corso... ERRORE!"), std::string::npos) << prima;
  EXPECT_EQ(prima.find("2) Compilazione "), std::string::npos);
  EXPECT_NE(prima.find("Backup, impostazione compatibilità e compilazione effettuate"), std::string::npos);
  EXPECT_EQ(prima.find("Pronto"), std::string::npos);

  // Closed as a person would: no window manager under bare Xvfb, so focus and Alt+F4.
  std::system((display + "xdotool windowfocus --sync " + finestra + " key alt+F4 >/dev/null 2>&1").c_str());
  for (int prova = 0; prova < 300 && Leggi(stato).empty(); ++prova) std::this_thread::sleep_for(100ms);
  const std::string fine = Leggi(uscita);
  EXPECT_EQ(Leggi(stato), "1\n") << fine;  // a build failed
  // The run goes on after Notepad: the deployment copy of a row never built stops it.
  EXPECT_NE(fine.find("Errore di run-time '53'", prima.size()), std::string::npos) << fine;
}

}  // namespace
}  // namespace cw
