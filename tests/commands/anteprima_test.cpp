// "Anteprima modifiche": the diff of what a command would write, from the
// command's own rules, and nothing written.

#include <gtest/gtest.h>

#include "commands/anteprima.h"
#include "support/compila_finti.h"
#include "support/contesto_prova.h"
#include "support/suite_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
struct Prova {
  test::SuiteProva suite{{{"Alfa", "Alfa.vbp", "dll"}, {"Beta", "Beta.vbp", "app"}}};
  test::UiRegistrata ui;
  CampiInMemoria campi;
  std::string mostrato;
  Contesto ctx = test::ContestoDiProva(suite.fso, suite.catalogo, ui, campi);
  Prova() {
    ctx.fileIni = [this] { return (suite.prefisso.Dir() / "programmaWexoUty.ini").string(); };
    ctx.mostraAnteprima = [this](const std::string& t) { mostrato = t; };
    for (std::size_t i = 0; i < 2; ++i)
      suite.Scrivi(suite.Progetto(i), "Type=OleDll\r\nCompatibleMode=\"1\"\r\nMajorVer=1\r\nName=\"Citt\xE0\"\r\n");
    campi.ImpostaTesto(Campo::txtVersionePrincipale, "1");
    campi.ImpostaTesto(Campo::txtVersioneSecondario, "0");
    campi.ImpostaTesto(Campo::txtVersioneRevisione, "0");
  }
};
#pragma GCC diagnostic pop

TEST(Anteprima, ShowsTheCommandsChangesAndRefusesAsTheCommandWould) {
  const std::string kAlfa = "C:\\Progetti VB\\Wexo\\Alfa\\Alfa.vbp";
  struct Caso {
    const char* nome;
    const char* controllo;
    std::function<void(Prova&)> prepara;
    Esito esito;
    std::string mostrato;
    std::vector<std::string> messaggi;
  };
  const std::vector<Caso> casi = {
      // The application row takes no compatibility; context of one line, bytes as UTF-8.
      {"compatibility",
       "cmdBackupCompatibilita",
       [](Prova& p) { p.campi.SelezionaOpzione(Compatibilita::Binaria); },
       Esito::Completato,
       "--- " + kAlfa + "\n+++ " + kAlfa +
           "\n@@ -1,3 +1,3 @@\n Type=OleDll\n-CompatibleMode=\"1\"\n+CompatibleMode=\"2\"\n"
           " MajorVer=1\nFile da modificare: 1, righe da modificare: 1\n",
       {}},
      {"the same values: nothing to change",
       "cmdBackupCompatibilita",
       [](Prova& p) { p.campi.SelezionaOpzione(Compatibilita::Progetto); },
       Esito::Completato,
       "File da modificare: 0, righe da modificare: 0\n",
       {}},
      {"guid over every row",
       "cmdChangeGuid",
       [](Prova& p) {
         p.campi.ImpostaTesto(Campo::txtGuidOld, "Città");
         p.campi.ImpostaTesto(Campo::txtGuidNew, "Roma");
       },
       Esito::Completato,
       "",
       {}},
      {"invalid version",
       "cmdImpostaVersione",
       [](Prova& p) { p.campi.ImpostaTesto(Campo::txtVersionePrincipale, "x"); },
       Esito::Rifiutato,
       "",
       {"Versione principale non valida"}},
      // Nothing is written, so a file that could not be is no refusal.
      {"read-only file",
       "cmdBackupCompatibilita",
       [&](Prova& p) {
         p.campi.SelezionaOpzione(Compatibilita::Binaria);
         p.suite.SolaLettura(kAlfa);
       },
       Esito::Completato,
       "--- " + kAlfa + "\n+++ " + kAlfa +
           "\n@@ -1,3 +1,3 @@\n Type=OleDll\n-CompatibleMode=\"1\"\n+CompatibleMode=\"2\"\n"
           " MajorVer=1\nFile da modificare: 1, righe da modificare: 1\n",
       {}},
      {"leftover copy",
       "cmdApplica",
       [&](Prova& p) { p.suite.Scrivi(kAlfa + "_tmp", "old"); },
       Esito::Rifiutato,
       "",
       {"Sono rimaste copie"}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Prova p;
    c.prepara(p);
    const auto prima = test::Albero(p.suite.prefisso.Dir());
    EXPECT_EQ(EseguiComando(p.ctx, GestoreAnteprima(c.controllo)), c.esito);
    EXPECT_EQ(test::Albero(p.suite.prefisso.Dir()), prima);  // no backup, no _tmp, no settings
    if (std::string(c.nome) == "guid over every row") {
      EXPECT_NE(p.mostrato.find("+Name=\"Roma\""), std::string::npos);
      EXPECT_NE(p.mostrato.find("-Name=\"Città\""), std::string::npos);
      EXPECT_NE(p.mostrato.find("File da modificare: 2, righe da modificare: 2"), std::string::npos);
    } else {
      EXPECT_EQ(p.mostrato, c.mostrato);
    }
    ASSERT_EQ(p.ui.messaggi.size(), c.messaggi.size());
    for (std::size_t i = 0; i < c.messaggi.size(); ++i)
      EXPECT_TRUE(p.ui.messaggi[i].testo.starts_with(c.messaggi[i])) << p.ui.messaggi[i].testo;
  }
}

// The rewrite ends every line with CR LF: a file whose only change is its
// line ends is a file to change, each line whose end changes a line.
TEST(Anteprima, ALineEndTheRewriteChangesIsAChange) {
  const std::string kAlfa = "C:\\Progetti VB\\Wexo\\Alfa\\Alfa.vbp";
  const struct {
    const char* nome;
    std::string byte;
    std::string mostrato;
  } casi[] = {
      {"LF only", "Type=OleDll\nCompatibleMode=\"1\"\n",
       "@@ -1,2 +1,2 @@\n-Type=OleDll (a capo LF)\n-CompatibleMode=\"1\" (a capo LF)\n+Type=OleDll (a capo CR LF)\n"
       "+CompatibleMode=\"1\" (a capo CR LF)\nFile da modificare: 1, righe da modificare: 2\n"},
      {"a lone CR", "Type=OleDll\rCompatibleMode=\"1\"\r\n",
       "@@ -1,2 +1,2 @@\n-Type=OleDll (a capo CR)\n+Type=OleDll (a capo CR LF)\n CompatibleMode=\"1\"\n"
       "File da modificare: 1, righe da modificare: 1\n"},
      {"no end on the last line", "Type=OleDll\r\nCompatibleMode=\"1\"",
       "@@ -1,2 +1,2 @@\n Type=OleDll\n-CompatibleMode=\"1\" (senza a capo)\n+CompatibleMode=\"1\" (a capo CR LF)\n"
       "File da modificare: 1, righe da modificare: 1\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    Prova p;
    p.campi.SelezionaOpzione(Compatibilita::Progetto);  // the value the file holds already
    p.suite.Scrivi(kAlfa, c.byte);
    EXPECT_EQ(EseguiComando(p.ctx, GestoreAnteprima("cmdBackupCompatibilita")), Esito::Completato);
    EXPECT_EQ(p.mostrato, "--- " + kAlfa + "\n+++ " + kAlfa + "\n" + c.mostrato);
  }
}

TEST(Anteprima, TheWindowShowsOneSectionPerFilledInCommand) {
  Prova p;
  p.campi.ImpostaTesto(Campo::txtVersionePrincipale, "2");
  EXPECT_EQ(EseguiComando(p.ctx, &mnuAnteprimaModifiche_Click), Esito::Completato);
  EXPECT_NE(p.mostrato.find("=== Backup e compatibilità ==="), std::string::npos);
  EXPECT_NE(p.mostrato.find("=== Backup e versione ===\n--- C:\\Progetti VB\\Wexo\\Alfa\\Alfa.vbp"), std::string::npos);
  EXPECT_EQ(p.mostrato.find("=== Applica"), std::string::npos);
  EXPECT_EQ(p.mostrato.find("=== Sostituisci"), std::string::npos);
}

}  // namespace
}  // namespace cw
