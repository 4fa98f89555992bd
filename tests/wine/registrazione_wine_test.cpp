// RegistraDll on Windows libraries, through the Windows worker under a real
// Wine, in a prefix made for this program.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/linux/drive_table_linux.h"
#include "platform/linux/processi_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "registration/registra_componenti.h"
#include "support/prefisso_temporaneo.h"
#include "support/ui_registrata.h"
#include "support/wine_prova.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

// What a shell command printed, with the prefix set.
std::string Uscita(const fs::path& prefisso, const std::string& comando) {
  const std::string riga = "WINEPREFIX='" + prefisso.string() + "' WINEDEBUG=-all " + comando + " 2>/dev/null";
  std::string out;
  if (FILE* p = ::popen(riga.c_str(), "r")) {
    std::array<char, 512> b{};
    for (size_t n; (n = std::fread(b.data(), 1, b.size(), p)) > 0;) out.append(b.data(), n);
    ::pclose(p);
  }
  return out;
}

class RegistrazioneWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    motivo_ = test::MotivoSenzaWine(daSaltare_);
    if (!motivo_.empty()) return;
    cartella_ = new test::CartellaTemporanea;
    const fs::path prefisso = cartella_->Dir() / "prefisso";
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    // One server for the program's life, so each start of the worker is warm.
    const std::string ambiente = "WINEPREFIX='" + prefisso.string() + "' WINEDEBUG=-all ";
    std::system((ambiente + "wineserver -p >/dev/null 2>&1").c_str());
    if (std::system((ambiente + test::ComandoWine() + " wineboot --init >/dev/null 2>&1").c_str()) != 0)
      motivo_ = "wineboot --init failed in " + prefisso.string();
    fs::create_directories(prefisso / "drive_c" / "Componenti");
    for (const auto& voce : fs::directory_iterator(CW_WINDOWS_BIN_DIR))
      if (voce.path().extension() == ".dll" || voce.path().filename().string().starts_with("standin-exeserver"))
        fs::copy(voce.path(), prefisso / "drive_c" / "Componenti" / voce.path().filename());
    fs::copy(fs::path(CW_WINDOWS_BIN_DIR) / "standin-exeserver.exe",
             prefisso / "drive_c" / "Componenti" / "Vendite.exe");
    // A Windows header and nothing behind it.
    std::ofstream(prefisso / "drive_c" / "Componenti" / "Rotto.dll", std::ios::binary)
        << std::string("MZ\x90\0\3\0\0\0\4\0", 10) << std::string(200, '\0');
    // Three components of their own, as the stand-in environment builds them.
    for (const char* nome : {"Anagrafe.dll", "Ordini.dll", "Magazzino.dll"})
      fs::copy(fs::path(CW_WINDOWS_BIN_DIR) / "standin-component.dll", prefisso / "drive_c" / "Componenti" / nome);
  }
  static void TearDownTestSuite() {
    if (cartella_) {
      std::system(("WINEPREFIX='" + Prefisso().string() + "' wineserver -k >/dev/null 2>&1").c_str());
      delete cartella_;
    }
  }
  void SetUp() override {
    if (!motivo_.empty()) {
      // CI has Wine: there a missing one is a failure, not a skip.
      if (std::getenv("CI") && !daSaltare_) FAIL() << motivo_;
      GTEST_SKIP() << motivo_;
    }
  }
  static fs::path Prefisso() { return cartella_->Dir() / "prefisso"; }
  static std::string Clsid(const std::string& progId) {
    const std::string out = Uscita(Prefisso(), test::ComandoWine() + " reg query 'HKCR\\" + progId + "\\CLSID'");
    const auto a = out.find('{');
    return a == std::string::npos ? std::string() : out.substr(a, 38);
  }

  static inline test::CartellaTemporanea* cartella_ = nullptr;
  static inline std::string motivo_;
  static inline bool daSaltare_ = false;
};

TEST_F(RegistrazioneWine, EachLibraryGetsItsAnswerAndTheWalkGoesOnAfterAHangOrACrash) {
  test::UiRegistrata ui;
  RegistratoreIsolato registratore(
      ui, std::make_unique<CanaleWorker>(std::make_unique<AvvioWorkerLinux>(
              DriveTable(Prefisso()), PercorsoWorkerPredefinito(), fs::path(CW_WINDOWS_BIN_DIR) / kNomeAgente)));
  struct Caso {
    const char* file;
    bool riuscita;
    const char* box;  // the box's text, with %s for the path; null: none
  };
  const std::vector<Caso> casi = {
      {"Anagrafe.dll", true, nullptr},
      {"standin-component-errore.dll", false, "Registrazione fallita: la funzione di '%s' ha restituito 0x80004005."},
      {"standin-component-rifiuta.dll", false, "Registrazione fallita: la funzione di '%s' ha restituito 0x80040201."},
      {"standin-component-sfalse.dll", true, nullptr},  // S_FALSE is a success
      {"standin-component-vuota.dll", false, "Registrazione fallita EntryPoint mancante '%s'."},
      {"standin-component-crash.dll", false, "Registrazione fallita per errore di '%s'."},
      {"Ordini.dll", true, nullptr},
      {"standin-component-blocca.dll", false, "Registrazione fallita per time-out da '%s'."},
      {"Magazzino.dll", true, nullptr},
      {"Manca.dll", false, "Errore caricando la DLL\n\nIl file '%s' non esiste."},
      {"Rotto.dll", false, "Errore caricando la DLL\n\nIl file '%s' non è una libreria Windows."},
  };
  for (const Caso& c : casi) {
    const std::string percorso = std::string("C:\\Componenti\\") + c.file;
    ui.messaggi.clear();
    const auto inizio = std::chrono::steady_clock::now();
    EXPECT_EQ(registratore.RegistraDll(percorso, 0), c.riuscita) << c.file;
    const auto durata = std::chrono::steady_clock::now() - inizio;
    if (!c.box) {
      EXPECT_TRUE(ui.messaggi.empty()) << c.file << ": " << ui.messaggi.front().testo;
      continue;
    }
    std::string atteso = c.box;
    if (const auto p = atteso.find("%s"); p != std::string::npos) atteso.replace(p, 2, percorso);
    ASSERT_EQ(ui.messaggi.size(), 1u) << c.file;
    EXPECT_EQ(ui.messaggi[0].testo, atteso);
    EXPECT_EQ(ui.messaggi[0].stile, kStileCritico);
    if (std::string(c.file) == "standin-component-blocca.dll") {
      EXPECT_GE(durata, kLimiteRegistrazione);
    }
  }

  // Each component has its own class, its own file behind it.
  std::vector<std::string> classi;
  for (const char* nome : {"Anagrafe", "Ordini", "Magazzino"}) {
    const std::string clsid = Clsid(std::string(nome) + ".Classe1");
    ASSERT_FALSE(clsid.empty()) << nome;
    classi.push_back(clsid);
    const std::string server =
        Uscita(Prefisso(), test::ComandoWine() + " reg query 'HKCR\\CLSID\\" + clsid + "\\InprocServer32'");
    EXPECT_NE(server.find(std::string("C:\\Componenti\\") + nome + ".dll"), std::string::npos) << server;
  }
  EXPECT_NE(classi[0], classi[1]);
  EXPECT_NE(classi[1], classi[2]);

  for (const char* nome : {"Anagrafe", "Ordini", "Magazzino"})
    EXPECT_TRUE(registratore.RegistraDll(std::string("C:\\Componenti\\") + nome + ".dll", 1)) << nome;
  for (const char* nome : {"Anagrafe", "Ordini", "Magazzino"}) EXPECT_EQ(Clsid(std::string(nome) + ".Classe1"), "");
}

// Each Windows EXE server is waited for under Wine: its exit code decides,
// and one that does not end within the limit is ended.
TEST_F(RegistrazioneWine, EachExeServerIsWaitedFor) {
  test::UiRegistrata ui;
  ProcessiLinux processi{DriveTable(Prefisso())};
  struct Caso {
    const char* file;
    const char* box;  // with %s for the path; null: a success
  };
  const Caso casi[] = {
      {"Vendite.exe", nullptr},
      {"standin-exeserver-esce.exe", "Registrazione fallita: il server '%s' è terminato con il codice 3."},
      {"standin-exeserver-blocca.exe",
       "Registrazione fallita per time-out da '%s': il server non ha finito entro 5000 ms ed è stato terminato."},
  };
  for (const Caso& c : casi) {
    const std::string percorso = std::string("C:\\Componenti\\") + c.file;
    ui.messaggi.clear();
    EXPECT_EQ(RegistraExe(processi, ui, percorso, 0, std::chrono::milliseconds(5000)), c.box == nullptr) << c.file;
    if (!c.box) {
      EXPECT_TRUE(ui.messaggi.empty()) << c.file << ": " << ui.messaggi.front().testo;
      continue;
    }
    std::string atteso = c.box;
    atteso.replace(atteso.find("%s"), 2, percorso);
    ASSERT_EQ(ui.messaggi.size(), 1u) << c.file;
    EXPECT_EQ(ui.messaggi[0].testo, atteso);
  }
  // The server that succeeded has written its class by the time it returned.
  EXPECT_NE(Clsid("Vendite.Classe1"), "");
  EXPECT_TRUE(RegistraExe(processi, ui, "C:\\Componenti\\Vendite.exe", 1));
  EXPECT_EQ(Clsid("Vendite.Classe1"), "");
  EXPECT_EQ(processi.FigliInCorso(), 0u);
}

}  // namespace
}  // namespace cw
