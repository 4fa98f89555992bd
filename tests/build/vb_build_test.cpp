#include "build/vb_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/keystrokes.h"
#include "commands/anteprima.h"
#include "commands/comandi.h"
#include "support/contesto_prova.h"
#include "support/fso_di_prova.h"
#include "support/prefisso_temporaneo.h"
#include "support/suite_prova.h"
#include "support/tastiera_finta.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using Eventi = std::vector<std::string>;

class UiCondivisa : public test::UiRegistrata {
 public:
  explicit UiCondivisa(Eventi& registro) : eventi_(registro) {}
  void DoEvents() override {
    UiRegistrata::DoEvents();
    eventi_.push_back("DoEvents");
  }

 private:
  Eventi& eventi_;
};

class VbBuildTest : public ::testing::Test {
 protected:
  VbBuildTest() : tastiera(kTitoloVbBuild, eventi), ui(eventi) {}

  // Runs the routine; dopoAttesa(n, ms) runs after the n-th wait (from 1).
  void Esegui(const CatalogoComponenti& catalogo) {
    EseguiVbBuild(catalogo, tastiera, ui, [&](int ms) {
      eventi.push_back("Attendi:" + std::to_string(ms));
      ++attese;
      if (dopoAttesa) dopoAttesa(attese, ms);
    });
  }

  Eventi eventi;
  test::TastieraFinta tastiera;
  UiCondivisa ui;
  int attese = 0;
  std::function<void(int, int)> dopoAttesa;
};

TEST_F(VbBuildTest, ActivatesOnceThenTypesEachPathAndEnterAtThePace) {
  Esegui(test::CatalogoDiPercorsi({"C:\\A\\A.vbp", "C:\\B\\B.vbp"}));
  EXPECT_EQ(eventi, (Eventi{
                        "AppActivate:Vb-Build - Wexo:attesa",
                        "DoEvents",
                        "Attendi:5000",
                        "IsActive",
                        "SendKeys:C:\\A\\A.vbp:attesa",
                        "Attendi:1000",
                        "IsActive",
                        "SendKeys:{ENTER}:attesa",
                        "DoEvents",
                        "Attendi:4000",
                        "IsActive",
                        "SendKeys:C:\\B\\B.vbp:attesa",
                        "Attendi:1000",
                        "IsActive",
                        "SendKeys:{ENTER}:attesa",
                        "DoEvents",
                        "Attendi:4000",
                    }));
  EXPECT_EQ(tastiera.tastiAltrove, 0);
  EXPECT_EQ(ui.log, (std::vector<std::string>{"Invio a Vb-Build del progetto 1 di 2: C:\\A\\A.vbp in corso... OK!",
                                              "Invio a Vb-Build del progetto 2 di 2: C:\\B\\B.vbp in corso... OK!",
                                              "Progetti inviati a Vb-Build: 2"}));
  EXPECT_TRUE(ui.messaggi.empty());
  EXPECT_TRUE(ui.puntatori.empty());
}

TEST_F(VbBuildTest, PathsAreTypedLiterally) {
  const std::string percorso = "C:\\Program Files (x86)\\Wexo+1\\a^b%c~d{e}[f] città.vbp";
  Esegui(test::CatalogoDiPercorsi({percorso}));
  ASSERT_EQ(tastiera.inviati.size(), 2u);
  EXPECT_EQ(tastiera.inviati[0], "C:\\Program Files {(}x86{)}\\Wexo{+}1\\a{^}b{%}c{~}d{{}e{}}{[}f{]} città.vbp");
  std::u32string digitato;
  for (const KeyEvent& e : ParseKeystrokes(tastiera.inviati[0])) {
    EXPECT_EQ(e.key, SpecialKey::Character);
    EXPECT_EQ(e.modifiers, 0u);
    digitato += e.character;
  }
  EXPECT_EQ(digitato, U"C:\\Program Files (x86)\\Wexo+1\\a^b%c~d{e}[f] città.vbp");
}

TEST_F(VbBuildTest, TheToolsWindowIsActivatedAgainWhenTheUserMovedAway) {
  // The user goes elsewhere during the first path's pause and again after
  // the first Enter.
  dopoAttesa = [&](int n, int) {
    if (n == 2 || n == 3) tastiera.attiva = false;
  };
  Esegui(test::CatalogoDiPercorsi({"C:\\A\\A.vbp", "C:\\B\\B.vbp"}));
  EXPECT_EQ(tastiera.tastiAltrove, 0);
  EXPECT_EQ(std::vector<std::string>(eventi.begin() + 5, eventi.begin() + 9),
            (Eventi{"Attendi:1000", "IsActive", "AppActivate:Vb-Build - Wexo:attesa", "SendKeys:{ENTER}:attesa"}));
  EXPECT_EQ(std::count(eventi.begin(), eventi.end(), "AppActivate:Vb-Build - Wexo:attesa"), 3);
  EXPECT_EQ(tastiera.inviati, (std::vector<std::string>{"C:\\A\\A.vbp", "{ENTER}", "C:\\B\\B.vbp", "{ENTER}"}));
}

TEST_F(VbBuildTest, AToolThatHasGoneStopsTheRunWithError5) {
  // Closed after the second row's Enter.
  dopoAttesa = [&](int n, int) {
    if (n == 5) tastiera.finestra = false;
  };
  try {
    Esegui(test::CatalogoDiPercorsi({"C:\\A\\A.vbp", "C:\\B\\B.vbp", "C:\\C\\C.vbp"}));
    FAIL() << "no error";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kChiamataNonValida);
  }
  EXPECT_EQ(tastiera.inviati, (std::vector<std::string>{"C:\\A\\A.vbp", "{ENTER}", "C:\\B\\B.vbp", "{ENTER}"}));
  EXPECT_EQ(eventi.back(), "AppActivate:Vb-Build - Wexo:attesa");

  // Gone between a path and its Enter: the Enter is not sent.
  eventi.clear();
  tastiera.inviati.clear();
  tastiera.finestra = true;
  attese = 0;
  dopoAttesa = [&](int n, int) {
    if (n == 2) tastiera.finestra = false;
  };
  EXPECT_THROW(Esegui(test::CatalogoDiPercorsi({"C:\\A\\A.vbp", "C:\\B\\B.vbp"})), ErroreRuntime);
  EXPECT_EQ(tastiera.inviati, std::vector<std::string>{"C:\\A\\A.vbp"});
}

class VbBuildComandoTest : public ::testing::Test {
 protected:
  VbBuildComandoTest() : fso(prefisso), tastiera(kTitoloVbBuild, eventi), ui(eventi) {
    CaricaCatalogo(catalogo);
    ctx.tastiera = &tastiera;
    ctx.attendi = [&](int ms) { attesoMs += ms; };
  }

  test::PrefissoTemporaneo prefisso;
  test::FileSystemDiProva fso;
  Eventi eventi;
  test::TastieraFinta tastiera;
  UiCondivisa ui;
  CatalogoComponenti catalogo;
  CampiInMemoria campi;
  Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, campi);
  long attesoMs = 0;
};

TEST_F(VbBuildComandoTest, TheWholeSuiteInCatalogueOrderTakes745Seconds) {
  ui.log = {"riga precedente"};
  EXPECT_EQ(EseguiComando(ctx, &mnuVbBuild_Click), Esito::Completato);
  EXPECT_EQ(attesoMs, 745000);
  ASSERT_EQ(tastiera.inviati.size(), 296u);
  for (int i = 0; i < 148; ++i) {
    EXPECT_EQ(tastiera.inviati[2 * static_cast<size_t>(i)], EscapeKeystrokes(catalogo.FileProgettoCompleto(i)));
    EXPECT_EQ(tastiera.inviati[2 * static_cast<size_t>(i) + 1], "{ENTER}");
  }
  EXPECT_EQ(ui.doevents, 149);
  ASSERT_EQ(ui.log.size(), 149u);  // the log cleared, a line a row and the count
  EXPECT_EQ(ui.log[147],
            "Invio a Vb-Build del progetto 148 di 148: " + catalogo.FileProgettoCompleto(147) + " in corso... OK!");
  EXPECT_TRUE(ui.messaggi.empty());
  EXPECT_TRUE(ui.puntatori.empty());
}

// The tool may be still opening: looked for once a second, then a box
// that says what was looked for and how long; nothing typed.
TEST_F(VbBuildComandoTest, NoWindowIsSaidWithItsTitleAndNoKeystrokeServiceIsError5) {
  tastiera.finestra = false;
  EXPECT_EQ(EseguiComando(ctx, &mnuVbBuild_Click), Esito::Fallito);
  const std::string testo =
      "Vb-Build non eseguito: nessuna finestra con il titolo \"Vb-Build - Wexo\" trovata in 10 secondi. Nessun "
      "progetto è stato inviato: aprire Vb-Build e riprovare.";
  ASSERT_EQ(ui.messaggi.size(), 1u);
  EXPECT_EQ(ui.messaggi[0].testo, testo);
  EXPECT_EQ(ui.messaggi[0].stile, kStileEsclamativo);
  EXPECT_EQ(ui.log, std::vector<std::string>{testo});
  EXPECT_EQ(std::count(eventi.begin(), eventi.end(), "AppActivate:Vb-Build - Wexo:attesa"), 11);
  EXPECT_TRUE(tastiera.inviati.empty());
  EXPECT_EQ(attesoMs, 10000);

  // Up in the ninth second: the run goes on as ever.
  int prove = 0;
  ctx.attendi = [&](int ms) {
    attesoMs += ms;
    if (++prove == 9) tastiera.finestra = true;
  };
  EXPECT_EQ(EseguiComando(ctx, &mnuVbBuild_Click), Esito::Completato);
  EXPECT_EQ(tastiera.inviati.size(), 296u);

  ctx.tastiera = nullptr;
  EXPECT_EQ(EseguiComando(ctx, &mnuVbBuild_Click), Esito::ErroreRuntime);
  EXPECT_EQ(ui.messaggi.size(), 2u);
  EXPECT_EQ(ui.messaggi[1].testo.rfind("Errore di run-time '5'", 0), 0u);
}

TEST(TabellaStrumenti, EveryEntryOfTheMenuIsConnected) {
  std::vector<std::pair<std::string, Gestore>> strumenti;
  for (const auto& voce : TabellaComandi())
    if (std::string(voce.nome).rfind("mnu", 0) == 0) strumenti.emplace_back(voce.nome, voce.gestore);
  EXPECT_EQ(strumenti,
            (std::vector<std::pair<std::string, Gestore>>{{"mnuGeneraVbg", &mnuGeneraVbg_Click},
                                                          {"mnuVbBuild", &mnuVbBuild_Click},
                                                          {"mnuIndirizziBaseDll", &mnuIndirizziBaseDll_Click},
                                                          {"mnuGrafoRiferimenti", &mnuGrafoRiferimenti_Click},
                                                          {"mnuRipristina", &mnuRipristina_Click},
                                                          {"mnuSovrapposizioniDll", &mnuSovrapposizioniDll_Click},
                                                          {"mnuApplicaIndirizziDll", &mnuApplicaIndirizziDll_Click},
                                                          {"mnuRiprendiCompilazione", &mnuRiprendiCompilazione_Click},
                                                          {"mnuAnteprimaModifiche", &mnuAnteprimaModifiche_Click}}));
}

}  // namespace
}  // namespace cw
