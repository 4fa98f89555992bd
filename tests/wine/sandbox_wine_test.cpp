// The batch mode end to end on a --wine sandbox: a real Wine prefix, the
// Windows stand-in development environment and components, the prefix's own
// registry.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "catalogue/catalogo.h"
#include "platform/trasporto_worker.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"
#include "support/wine_prova.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

struct Risultato {
  int stato;
  std::string uscita;
};

// Through a file, not a pipe: the programs Wine starts for the prefix (its
// services) inherit the output and would hold a pipe open for ever.
Risultato Esegui(const std::string& comando) {
  const fs::path uscita = fs::temp_directory_path() / ("cw-wine-uscita-" + std::to_string(::getpid()));
  const int s = std::system((comando + " >'" + uscita.string() + "' 2>&1 </dev/null").c_str());
  std::ostringstream testo;
  testo << std::ifstream(uscita, std::ios::binary).rdbuf();
  fs::remove(uscita);
  return {WIFEXITED(s) ? WEXITSTATUS(s) : -1, testo.str()};
}

int Conta(const std::string& testo, const std::string& parola) {
  int n = 0;
  for (size_t p = testo.find(parola); p != std::string::npos; p = testo.find(parola, p + 1)) ++n;
  return n;
}

TEST(SandboxWine, TheFullRunBuildsEveryRowAndRegistraAndRimuoviReachTheRegistry) {
  bool daSaltare = false;
  if (const std::string motivo = test::MotivoSenzaWine(daSaltare); !motivo.empty()) {
    if (std::getenv("CI") && !daSaltare) FAIL() << motivo;
    GTEST_SKIP() << motivo;
  }
  test::CartellaTemporanea cartella;
  const fs::path prefisso = cartella.Dir() / "sandbox";
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  ::setenv("WINEDEBUG", "-all", 1);
  try {
    sandbox::CreaSandbox(prefisso, catalogo,
                         {.programmiWindows = CW_WINDOWS_BIN_DIR, .a64 = test::ProgrammiWindowsA64()});
  } catch (const std::exception& e) {
    FAIL() << "no Wine prefix could be made: " << e.what();
  }
  const std::string ambiente = "WINEPREFIX='" + prefisso.string() + "' ";
  std::system((ambiente + "wineserver -p >/dev/null 2>&1").c_str());
  // One Wine system folder only, and the stand-ins are Windows programs.
  EXPECT_FALSE(fs::exists(prefisso / "drive_c" / "Windows"));
  EXPECT_TRUE(fs::exists(prefisso / "drive_c" / "windows" / "notepad.exe"));

  // The tool in a folder of its own with its Windows helpers beside it, as
  // a build tree has them; its settings file is the sandbox's.
  const fs::path bin = cartella.Dir() / "bin";
  fs::create_directories(bin / "windows");
  fs::copy(fs::path(CW_BIN_DIR) / "compilawexo-batch", bin / "compilawexo-batch");
  fs::copy(fs::path(CW_WINDOWS_BIN_DIR) / kNomeAgente, bin / "windows" / kNomeAgente);
  const std::string batch = ambiente + "'" + (bin / "compilawexo-batch").string() + "' ";
  auto query = [&](const std::string& chiave) {
    return Esegui(ambiente + test::ComandoWine() + " reg query '" + chiave + "' /s").uscita;
  };

  const Risultato tutto = Esegui(batch + "tutto binaria --principale 1 --secondario 0 --revisione 0");
  ASSERT_EQ(tutto.stato, 0) << tutto.uscita;
  EXPECT_EQ(Conta(tutto.uscita, "ERRORE!"), 0) << tutto.uscita;
  int compilate = 0;
  std::istringstream log(tutto.uscita);
  for (std::string riga; std::getline(log, riga);)
    compilate += riga.find(") Compilazione ") != std::string::npos && riga.ends_with(" in corso... OK!");
  EXPECT_EQ(compilate, Conta(tutto.uscita, ") Compilazione "));
  EXPECT_EQ(Conta(tutto.uscita, ") Compilazione "), catalogo.UBound() - catalogo.LBound() + 1);
  std::string testa(2, '\0');
  std::ifstream(prefisso / "drive_d" / "QuilApp" / catalogo(0, kFileOutput), std::ios::binary).read(testa.data(), 2);
  EXPECT_EQ(testa, "MZ");
  // Only row 0's deployment copy is registered by the full run.
  const std::string dopoTutto = query("HKCR\\CLSID");
  EXPECT_EQ(Conta(dopoTutto, "D:\\QuilApp\\"), 1) << dopoTutto.substr(0, 2000);
  EXPECT_EQ(Conta(dopoTutto, "C:\\Orbalis\\Componenti\\"), 0);

  const Risultato registra = Esegui(batch + "registra");
  ASSERT_EQ(registra.stato, 0) << registra.uscita;
  int dll = 0, exe = 0;
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    const std::string tipo = catalogo(i, kTipo);
    dll += tipo == "dll" || tipo == "dll-skipcompile";
    exe += tipo == "exe" || tipo == "exe-skipcompile";
  }
  EXPECT_EQ(Conta(registra.uscita, ".DLL in corso... OK!"), dll) << registra.uscita;
  // The servers register themselves after they have been started.
  std::string registro;
  for (int prova = 0; prova < 50; ++prova) {
    registro = query("HKCR\\CLSID");
    if (Conta(registro, "LocalServer32") > 0 && prova > 5) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::istringstream righe(registro);
  int inproc = 0, local = 0;
  std::string chiave;
  for (std::string riga; std::getline(righe, riga);) {
    if (!riga.empty() && riga.back() == '\r') riga.pop_back();
    if (riga.rfind("HKEY_", 0) == 0) chiave = riga;
    const bool nostro = riga.find("C:\\Orbalis\\Componenti\\") != std::string::npos;
    if (nostro && chiave.ends_with("\\InprocServer32")) ++inproc;
    if (nostro && chiave.ends_with("\\LocalServer32")) ++local;
  }
  EXPECT_EQ(inproc, dll);
  EXPECT_GT(local, 0);
  EXPECT_LE(local, exe);

  const Risultato rimuovi = Esegui(batch + "rimuovi");
  ASSERT_EQ(rimuovi.stato, 0) << rimuovi.uscita;
  for (int prova = 0; prova < 50; ++prova) {
    registro = query("HKCR\\CLSID");
    if (Conta(registro, "C:\\Orbalis\\Componenti\\") == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(Conta(registro, "C:\\Orbalis\\Componenti\\"), 0);
  std::system((ambiente + "wineserver -k >/dev/null 2>&1").c_str());
}

}  // namespace
}  // namespace cw
