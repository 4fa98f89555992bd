#include "build/backup.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "support/suite_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::SuiteProva;
using test::UiRegistrata;

class BackupTest : public ::testing::Test {
 protected:
  SuiteProva suite{{{"Alfa", "Alfa.vbp"}, {"Beta", "MiXeD.Vbp", "app-skipcompile"}, {"Gamma", "gamma.vbp", "app"}}};
  UiRegistrata ui;
  std::string P(std::size_t i, int k = 0) const { return suite.Progetto(i) + (k ? "_" + std::to_string(k) : ""); }

  void SetUp() override {
    for (std::size_t i = 0; i < suite.righe.size(); ++i) suite.Scrivi(P(i), "current " + std::to_string(i) + "\n");
  }
};

TEST_F(BackupTest, FirstGenerationOfEveryRowWithOneLogLineEach) {
  EseguiBackup(suite.fso, suite.catalogo, ui);
  for (std::size_t i = 0; i < 3; ++i) {
    // A plain copy: the line ends are not touched.
    EXPECT_EQ(suite.Leggi(P(i, 1)), "current " + std::to_string(i) + "\n");
    EXPECT_FALSE(suite.Esiste(P(i, 2)));
  }
  EXPECT_EQ(ui.log,
            (std::vector<std::string>{"Backup di ALFA.VBP in corso... OK!", "Backup di MIXED.VBP in corso... OK!",
                                      "Backup di GAMMA.VBP in corso... OK!"}));
  const std::vector<std::string> primi(ui.eventi.begin(), ui.eventi.begin() + 5);
  EXPECT_EQ(primi, (std::vector<std::string>{"add:Backup di ALFA.VBP in corso...", "select:0", "refresh",
                                             "set:0:Backup di ALFA.VBP in corso... OK!", "refresh"}));
  // The files on disk keep the project file's own case.
  EXPECT_EQ(suite.FileInCartella(1), (std::vector<std::string>{"MiXeD.Vbp", "MiXeD.Vbp_1"}));
}

TEST_F(BackupTest, FiveGenerationsShiftAndTheOldestIsLost) {
  for (int k = 1; k <= 5; ++k) suite.Scrivi(P(0, k), "gen " + std::to_string(k));
  EseguiBackup(suite.fso, suite.catalogo, ui);
  EXPECT_EQ(suite.Leggi(P(0, 1)), "current 0\n");
  for (int k = 2; k <= 5; ++k) EXPECT_EQ(suite.Leggi(P(0, k)), "gen " + std::to_string(k - 1));
  EXPECT_FALSE(suite.Esiste(P(0, 6)));
  EXPECT_EQ(suite.FileInCartella(0).size(), 6u);
}

TEST_F(BackupTest, AGapIsPassedOverNotFilled) {
  suite.Scrivi(P(0, 1), "gen 1");
  suite.Scrivi(P(0, 3), "gen 3");
  EseguiBackup(suite.fso, suite.catalogo, ui);
  EXPECT_EQ(suite.Leggi(P(0, 1)), "current 0\n");
  EXPECT_EQ(suite.Leggi(P(0, 2)), "gen 1");
  EXPECT_FALSE(suite.Esiste(P(0, 3)));  // the gap moves with the generations
  EXPECT_EQ(suite.Leggi(P(0, 4)), "gen 3");
  EXPECT_FALSE(suite.Esiste(P(0, 5)));
}

TEST_F(BackupTest, TwiceInARowLeavesTheFirstTwoGenerationsEqual) {
  EseguiBackup(suite.fso, suite.catalogo, ui);
  ui.LogClear();
  EseguiBackup(suite.fso, suite.catalogo, ui);
  EXPECT_EQ(suite.Leggi(P(2, 1)), suite.Leggi(P(2, 2)));
  EXPECT_EQ(ui.log.size(), 3u);
}

TEST_F(BackupTest, AMissingProjectFileStopsAtItsRow) {
  suite.Scrivi(P(1, 1), "gen 1");
  std::filesystem::remove(suite.prefisso.Host(P(1)));
  try {
    EseguiBackup(suite.fso, suite.catalogo, ui);
    FAIL() << "no error";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kFileNonTrovato);
  }
  EXPECT_EQ(ui.log,
            (std::vector<std::string>{"Backup di ALFA.VBP in corso... OK!", "Backup di MIXED.VBP in corso..."}));
  EXPECT_TRUE(suite.Esiste(P(0, 1)));
  // The generations of the failing row were already shifted.
  EXPECT_EQ(suite.Leggi(P(1, 2)), "gen 1");
  EXPECT_FALSE(suite.Esiste(P(2, 1)));
}

TEST_F(BackupTest, AReadOnlyGenerationStopsTheShift) {
  suite.Scrivi(P(0, 1), "gen 1");
  suite.Scrivi(P(0, 4), "gen 4");
  suite.Scrivi(P(0, 5), "gen 5");
  suite.SolaLettura(P(0, 5));
  EXPECT_THROW(EseguiBackup(suite.fso, suite.catalogo, ui), ErroreRuntime);
  EXPECT_EQ(suite.Leggi(P(0, 5)), "gen 5");
  EXPECT_EQ(suite.Leggi(P(0, 4)), "gen 4");
  EXPECT_EQ(suite.Leggi(P(0, 1)), "gen 1");
  EXPECT_EQ(ui.log, (std::vector<std::string>{"Backup di ALFA.VBP in corso..."}));
}

TEST(BackupCatalogo, EveryRowIsVisitedWhateverItsKind) {
  SuiteProva suite{{{"A", "a.vbp", "dll"}, {"B", "b.vbp", "exe-skipcompile"}, {"C", "c.vbp", "x"}, {"D", "d.vbp", ""}}};
  for (std::size_t i = 0; i < 4; ++i) suite.Scrivi(suite.Progetto(i), "x");
  UiRegistrata ui;
  EseguiBackup(suite.fso, suite.catalogo, ui);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(suite.Esiste(suite.Progetto(i) + "_1"));
  // The program's own table before it is filled: the first empty row fails.
  CatalogoComponenti vuoto;
  UiRegistrata ui2;
  EXPECT_THROW(EseguiBackup(suite.fso, vuoto, ui2), ErroreRuntime);
  EXPECT_EQ(ui2.log, (std::vector<std::string>{"Backup di  in corso..."}));
}

}  // namespace
}  // namespace cw
