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
#include "platform/drive_table.h"
#include "platform/linux_process.h"
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
      motivo_ = std::string("no Wine prefix could be made (") + e.what() + "): this machine may not run 32-bit programs";
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
  LinuxProcesses processi{DriveTable(Prefisso())};
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

}  // namespace
}  // namespace cw
