#include <gtest/gtest.h>

#include <algorithm>

#include "commands/comandi.h"
#include "support/contesto_prova.h"
#include "support/fso_di_prova.h"
#include "support/prefisso_temporaneo.h"
#include "support/registratore_finto.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::UiRegistrata;
using Righe = std::vector<std::string>;
using Chiamate = std::vector<test::RegistratoreFinto::Chiamata>;

class Comandi : public ::testing::Test {
 protected:
  test::PrefissoTemporaneo prefisso;
  test::FileSystemDiProva fso{prefisso};
  CatalogoComponenti catalogo{{RigaCatalogo{"C:\\P", "A.vbp", "C:\\Orbalis\\Componenti", "dll", "A.dll"},
                               RigaCatalogo{"C:\\P", "B.vbp", "C:\\Orbalis\\Componenti", "app", "B.exe"}}};
  UiRegistrata ui;
  CampiInMemoria campi;
  test::RegistratoreFinto reg;
  Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, campi, {.registratore = &reg});
  void SetUp() override {
    ui.LogAddItem("riga di prima");
    ui.LogSetFontName("Courier");
    ui.eventi.clear();
  }
};

TEST_F(Comandi, RegistraRunsTheWalkInTheFrameAndEndsWithItsSummary) {
  EXPECT_EQ(EseguiComando(ctx, &cmdRegistra_Click), Esito::Completato);
  EXPECT_EQ(ui.eventi.front(), "pointer:11");
  EXPECT_EQ(ui.eventi[1], "clear");
  EXPECT_EQ(ui.font, "Tahoma");
  EXPECT_EQ(ui.log,
            (Righe{"Registrazione componente A.DLL in corso... OK!", "Registrazione componente B.EXE in corso... OK!",
                   "Componenti registrati: 1, non registrati: 0", "Pronto"}));
  EXPECT_EQ(ui.selezionata, 3);
  EXPECT_EQ(ui.puntatore, kPuntatorePredefinito);
  ASSERT_EQ(ui.messaggi.size(), 1u);
  EXPECT_EQ(ui.messaggi[0].testo, "Componenti registrati: 1, non registrati: 0");
  EXPECT_EQ(ui.messaggi[0].stile, kStileInformativo);
  EXPECT_EQ(reg.chiamate, (Chiamate{{"C:\\Orbalis\\Componenti\\A.dll", 0}}));
}

TEST_F(Comandi, RimuoviRemovesAndAFailureStillEndsWithPronto) {
  reg.esiti = {false};
  EXPECT_EQ(EseguiComando(ctx, &cmdRimuovi_Click), Esito::Fallito);
  EXPECT_EQ(ui.log,
            (Righe{"Rimozione componente A.DLL in corso... ERRORE!", "Rimozione componente B.EXE in corso... OK!",
                   "Componenti rimossi: 0, non rimossi: 1 (A.DLL)", "Pronto"}));
  ASSERT_EQ(ui.messaggi.size(), 1u);
  EXPECT_EQ(ui.messaggi[0].testo, "Componenti rimossi: 0, non rimossi: 1 (A.DLL)");
  EXPECT_EQ(ui.messaggi[0].stile, kStileEsclamativo);
  EXPECT_EQ(ui.puntatore, kPuntatorePredefinito);
  EXPECT_EQ(reg.chiamate, (Chiamate{{"C:\\Orbalis\\Componenti\\A.dll", 1}}));
}

TEST_F(Comandi, BothButtonsAreInTheTable) {
  const auto& t = TabellaComandi();
  auto trova = [&](const std::string& nome) {
    return std::find_if(t.begin(), t.end(), [&](const VoceComando& v) { return nome == v.nome; });
  };
  ASSERT_NE(trova("cmdRegistra"), t.end());
  ASSERT_NE(trova("cmdRimuovi"), t.end());
  EXPECT_EQ(trova("cmdRegistra")->gestore, &cmdRegistra_Click);
  EXPECT_EQ(trova("cmdRimuovi")->gestore, &cmdRimuovi_Click);
}

}  // namespace
}  // namespace cw
