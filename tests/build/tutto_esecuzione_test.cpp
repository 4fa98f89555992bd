#include <gtest/gtest.h>

#include "base/errors.h"
#include "build/compila.h"
#include "build/tutto.h"
#include "commands/campi.h"
#include "commands/comandi.h"
#include "support/compila_finti.h"
#include "support/contesto_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::SuiteCompilazione;

const std::string kErrori = "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt";

// A suite shaped like the catalogue at its ends: a DLL first, four
// applications last (one of them with blanks in its built file's name).
struct Esecuzione {
  Esecuzione()
      : s({{"Base"},
           {"Server", "exe"},
           {"App1", "app"},
           {"App2", "app"},
           {"App3", "app"},
           {"Gestionale", "app", "Gestionale Orbalis.exe"}}) {
    s.ScriviProgetti();
    campi.ImpostaTesto(Campo::txtVersionePrincipale, "2");
    campi.ImpostaTesto(Campo::txtVersioneSecondario, "1");
    campi.ImpostaTesto(Campo::txtVersioneRevisione, "7");
    campi.ImpostaIncrementoAutomatico(1);
    ctx.fileIni = [this] { return (s.prefisso.Dir() / "WexoUty.ini").string(); };
  }

  Esito Esegui() { return EseguiTutto(ctx); }

  std::string Ini() const {
    std::ifstream in(s.prefisso.Dir() / "WexoUty.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Costruito(const std::string& nome) const { return "C:\\Orbalis\\Componenti\\" + nome; }

  SuiteCompilazione s;
  test::UiRegistrata ui;
  CampiInMemoria campi;
  test::RegistratoreFinto reg;
  Contesto ctx = test::ContestoDiProva(s.fso, s.catalogo, ui, campi, {.processi = &s.processi, .registratore = &reg});
};

TEST(EseguiTutto, BuildsShowsTheErrorFileSavesCopiesAndMovesTheRegistration) {
  Esecuzione e;
  std::filesystem::create_directories(e.s.prefisso.Host("D:\\WexoApp"));
  std::filesystem::create_directories(e.s.prefisso.Host("D:\\QuilApp"));
  EXPECT_EQ(e.Esegui(), Esito::Completato);

  // Version and compatibility went into the projects before the builds.
  const std::string base = e.s.prefisso.Leggi("C:\\Progetti VB\\Wexo\\Base\\Base.vbp");
  EXPECT_NE(
      base.find("MajorVer=2\r\nMinorVer=1\r\nRevisionVer=7\r\nCompatibleMode=\"2\"\r\nFavorPentiumPro(tm)=-1\r\n"),
      std::string::npos);
  EXPECT_TRUE(e.s.prefisso.Esiste("C:\\Progetti VB\\Wexo\\Base\\Base.vbp_1"));
  EXPECT_EQ(e.s.costruiti.size(), 6u);

  // The viewer on the error file, started normal and waited for like a build.
  ASSERT_EQ(e.s.visualizzati, (std::vector<std::string>{"Notepad.exe C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt"}));
  EXPECT_EQ(e.s.processi.avvii.back().stile, 1);
  const auto& ev = e.s.processi.eventi;
  EXPECT_EQ(std::vector<std::string>(ev.end() - 2, ev.end()),
            (std::vector<std::string>{"attendi:7:infinito", "rilascia:7"}));

  // The build kept revision 7; the field and the settings move on to 8.
  EXPECT_EQ(e.campi.Testo(Campo::txtVersioneRevisione), "8");
  EXPECT_EQ(e.Ini(), "[Versione]\r\nIncrementoAutomatico=-1\r\nPrincipale=2\r\nSecondario=1\r\nRevisione=8\r\n");

  // The five copies.
  EXPECT_EQ(e.s.prefisso.Leggi("D:\\WexoApp\\Gestionale Orbalis.exe"),
            "built C:\\Progetti VB\\Wexo\\Gestionale\\Gestionale.vbp");
  for (const char* nome : {"App1.exe", "App2.exe", "App3.exe", "Base.dll"})
    EXPECT_TRUE(e.s.prefisso.Esiste(std::string("D:\\QuilApp\\") + nome)) << nome;
  EXPECT_FALSE(e.s.prefisso.Esiste("D:\\QuilApp\\Gestionale Orbalis.exe"));
  EXPECT_FALSE(e.s.prefisso.Esiste("D:\\WexoApp\\Base.dll"));

  EXPECT_EQ(e.reg.chiamate, (std::vector<test::RegistratoreFinto::Chiamata>{{"C:\\Orbalis\\Componenti\\Base.dll", 1},
                                                                            {"D:\\QuilApp\\Base.dll", 0}}));
}

TEST(EseguiTutto, CompatibilityOfTheSelectedOption) {
  for (auto [opzione, riga] : {std::pair{Compatibilita::Nessuna, "CompatibleMode=\"0\""},
                               std::pair{Compatibilita::Progetto, "CompatibleMode=\"1\""},
                               std::pair{Compatibilita::Binaria, "CompatibleMode=\"2\""}}) {
    Esecuzione e;
    e.campi.SelezionaOpzione(opzione);
    e.Esegui();
    EXPECT_NE(e.s.prefisso.Leggi("C:\\Progetti VB\\Wexo\\Server\\Server.vbp").find(riga), std::string::npos) << riga;
    // Applications take no compatibility.
    EXPECT_NE(e.s.prefisso.Leggi("C:\\Progetti VB\\Wexo\\App1\\App1.vbp").find("CompatibleMode=\"1\""),
              std::string::npos);
  }
}

TEST(EseguiTutto, WithoutTheIncrementTheRevisionStaysAndZeroIsSaved) {
  for (int valore : {0, 2}) {  // clear, and greyed
    Esecuzione e;
    e.campi.ImpostaIncrementoAutomatico(valore);
    e.campi.ImpostaTesto(Campo::txtVersioneRevisione, "32767");
    e.Esegui();
    EXPECT_EQ(e.campi.Testo(Campo::txtVersioneRevisione), "32767");
    EXPECT_EQ(e.Ini(), "[Versione]\r\nIncrementoAutomatico=0\r\nPrincipale=2\r\nSecondario=1\r\nRevisione=32767\r\n");
  }
}

TEST(EseguiTutto, TheIncrementRoundsLikeTheVersionCommand) {
  Esecuzione e;
  e.campi.ImpostaTesto(Campo::txtVersioneRevisione, " 0099");
  e.Esegui();
  EXPECT_NE(e.s.prefisso.Leggi("C:\\Progetti VB\\Wexo\\Base\\Base.vbp").find("RevisionVer= 0099\r\n"),
            std::string::npos);
  EXPECT_EQ(e.campi.Testo(Campo::txtVersioneRevisione), "100");
  Esecuzione f;
  f.campi.ImpostaTesto(Campo::txtVersioneRevisione, "-1");
  f.Esegui();
  EXPECT_EQ(f.campi.Testo(Campo::txtVersioneRevisione), "0");
}

TEST(EseguiTutto, EachCombinationOfDeploymentFolders) {
  for (bool wexo : {false, true}) {
    for (bool quil : {false, true}) {
      Esecuzione e;
      if (wexo) std::filesystem::create_directories(e.s.prefisso.Host("D:\\WexoApp"));
      if (quil) std::filesystem::create_directories(e.s.prefisso.Host("D:\\QuilApp"));
      const auto prima = test::Albero(e.s.prefisso.Host("D:\\"));
      EXPECT_EQ(e.Esegui(), Esito::Completato);
      auto dopo = test::Albero(e.s.prefisso.Host("D:\\"));
      std::set<std::string> nuovi;
      for (const auto& [nome, _] : dopo)
        if (!prima.count(nome)) nuovi.insert(nome);
      std::set<std::string> attesi;
      if (wexo) attesi.insert("WexoApp/Gestionale Orbalis.exe");
      if (quil) attesi.insert({"QuilApp/App1.exe", "QuilApp/App2.exe", "QuilApp/App3.exe", "QuilApp/Base.dll"});
      EXPECT_EQ(nuovi, attesi) << wexo << quil;
      // The registration moves whether or not the folder is there.
      EXPECT_EQ(e.reg.chiamate.size(), 2u);
      EXPECT_EQ(e.reg.chiamate[1].percorso, "D:\\QuilApp\\Base.dll");
    }
  }
}

TEST(EseguiTutto, TheFirstRowsCopyMayFailSilently) {
  Esecuzione e;
  std::filesystem::create_directories(e.s.prefisso.Host("D:\\QuilApp"));
  // The viewer runs after the builds: take the first row's built file away then.
  e.s.alVisualizzatore = [&](const std::string&) {
    std::filesystem::remove(e.s.prefisso.Host(e.Costruito("Base.dll")));
  };
  EXPECT_EQ(e.Esegui(), Esito::Completato);
  EXPECT_TRUE(e.s.prefisso.Esiste("D:\\QuilApp\\App1.exe"));
  EXPECT_FALSE(e.s.prefisso.Esiste("D:\\QuilApp\\Base.dll"));
  EXPECT_EQ(e.reg.chiamate.size(), 2u);

  // A read-only copy already there is the same: left as it was.
  Esecuzione f;
  f.s.prefisso.Scrivi("D:\\QuilApp\\Base.dll", "vecchia");
  std::filesystem::permissions(f.s.prefisso.Host("D:\\QuilApp\\Base.dll"), std::filesystem::perms::owner_read);
  EXPECT_EQ(f.Esegui(), Esito::Completato);
  EXPECT_EQ(f.s.prefisso.Leggi("D:\\QuilApp\\Base.dll"), "vecchia");
}

TEST(EseguiTutto, AnyOtherCopyFailureStopsTheRun) {
  Esecuzione e;
  std::filesystem::create_directories(e.s.prefisso.Host("D:\\QuilApp"));
  e.s.alVisualizzatore = [&](const std::string&) {
    std::filesystem::remove(e.s.prefisso.Host(e.Costruito("App2.exe")));
  };
  try {
    e.Esegui();
    FAIL() << "no run-time error";
  } catch (const ErroreRuntime& err) {
    EXPECT_EQ(err.Numero(), 53);
  }
  // App3 (third-last) was copied before App2 (fourth-last) failed; nothing after it.
  EXPECT_TRUE(e.s.prefisso.Esiste("D:\\QuilApp\\App3.exe"));
  EXPECT_FALSE(e.s.prefisso.Esiste("D:\\QuilApp\\App1.exe"));
  EXPECT_TRUE(e.reg.chiamate.empty());
  // The settings were saved before the copies.
  EXPECT_NE(e.Ini().find("Revisione=8"), std::string::npos);
}

// A failed build is no success: its box names it, the error file is shown
// and the version saved, but nothing older is deployed or registered.
TEST(EseguiTutto, AFailedBuildShowsTheFileSavesTheVersionAndDeploysNothing) {
  Esecuzione e;
  std::filesystem::create_directories(e.s.prefisso.Host("D:\\WexoApp"));
  std::filesystem::create_directories(e.s.prefisso.Host("D:\\QuilApp"));
  // Built files of an earlier run are what the copies find for the rows not built now.
  for (const char* nome : {"App1.exe", "App2.exe", "App3.exe", "Gestionale Orbalis.exe"})
    e.s.prefisso.Scrivi(e.Costruito(nome), "earlier");
  e.s.fallite = {"C:\\Progetti VB\\Wexo\\Server\\Server.vbp"};
  EXPECT_EQ(e.Esegui(), Esito::Fallito);
  EXPECT_EQ(e.s.costruiti.size(), 2u);
  EXPECT_EQ(e.ui.log.back(), "1) Compilazione SERVER.VBP in corso... ERRORE!");
  EXPECT_EQ(e.ui.messaggi.at(0).testo,
            "Compilazione di SERVER.VBP fallita: esecuzione non completata, nessuna copia nelle cartelle di "
            "distribuzione e nessuna registrazione");
  EXPECT_EQ(e.ui.messaggi.at(0).stile, kStileEsclamativo);
  EXPECT_EQ(e.s.visualizzati.size(), 1u);
  EXPECT_EQ(e.campi.Testo(Campo::txtVersioneRevisione), "8");
  EXPECT_FALSE(e.s.prefisso.Esiste("D:\\WexoApp\\Gestionale Orbalis.exe"));
  EXPECT_FALSE(e.s.prefisso.Esiste("D:\\QuilApp\\Base.dll"));
  EXPECT_TRUE(e.reg.chiamate.empty());
}

TEST(EseguiTutto, AFailedRegistrationIsReportedAsFailedButTheSecondCallStillRuns) {
  Esecuzione e;
  e.reg.esiti = {false, true};
  EXPECT_EQ(e.Esegui(), Esito::Fallito);
  EXPECT_EQ(e.reg.chiamate.size(), 2u);
  Esecuzione f;
  f.reg.esiti = {true, false};
  EXPECT_EQ(f.Esegui(), Esito::Fallito);
}

TEST(EseguiTutto, TheErrorFileOfAnEarlierRunIsDeletedBeforeTheBuilds) {
  Esecuzione e;
  e.s.prefisso.Scrivi(kErrori, "Impossibile: vecchio errore\r\n");
  EXPECT_EQ(e.Esegui(), Esito::Completato);
  EXPECT_EQ(e.s.prefisso.Leggi(kErrori).find("vecchio"), std::string::npos);
}

TEST(EseguiTutto, AnotherViewerOrTheFrontEndsOwnDisplay) {
  Esecuzione e;
  e.ctx.visualizzatore = "C:\\Strumenti\\Vedi File.exe";
  e.Esegui();
  EXPECT_EQ(e.s.visualizzati,
            (std::vector<std::string>{"C:\\Strumenti\\Vedi File.exe C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt"}));

  Esecuzione f;
  std::vector<std::string> mostrati;
  f.ctx.mostraFileErrori = [&](const std::string& file) {
    mostrati.push_back(file);
    EXPECT_TRUE(f.s.prefisso.Esiste(file));
  };
  f.Esegui();
  EXPECT_TRUE(f.s.visualizzati.empty());
  EXPECT_EQ(mostrati, (std::vector<std::string>{kErrori}));
}

}  // namespace
}  // namespace cw
