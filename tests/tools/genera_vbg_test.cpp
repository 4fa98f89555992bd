#include "tools/genera_vbg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "commands/comandi.h"
#include "support/contesto_prova.h"
#include "support/fault_injecting_filesystem.h"
#include "support/fso_di_prova.h"
#include "support/prefisso_temporaneo.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

std::vector<std::string> RigheCrLf(const std::string& bytes) {
  std::vector<std::string> righe;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t fine = bytes.find("\r\n", start);
    if (fine == std::string::npos) {
      righe.push_back("<senza CR LF>" + bytes.substr(start));
      break;
    }
    righe.push_back(bytes.substr(start, fine - start));
    start = fine + 2;
  }
  return righe;
}

CatalogoComponenti Catalogo(std::vector<std::pair<std::string, std::string>> righe) {
  std::vector<RigaCatalogo> tabella;
  for (auto& [cartella, progetto] : righe) tabella.push_back({cartella, progetto, "C:\\Out", "dll", "x.dll"});
  return CatalogoComponenti(std::move(tabella));
}

class GeneraVbgTest : public ::testing::Test {
 protected:
  GeneraVbgTest() : fso(prefisso) { prefisso.Scrivi("C:\\Progetti VB\\Wexo\\segnaposto", ""); }
  std::string Gruppo() const { return prefisso.Leggi(kFileGruppo); }

  test::PrefissoTemporaneo prefisso;
  test::FileSystemDiProva fso;
};

TEST_F(GeneraVbgTest, TheSuiteGivesOneHeaderAndOneLinePerRowWithRow139Starting) {
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  GeneraVbg(fso, catalogo);

  const std::string bytes = Gruppo();
  ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  const auto righe = RigheCrLf(bytes);
  ASSERT_EQ(righe.size(), 149u);
  EXPECT_EQ(righe[0], "VBGROUP 5.0");
  int avvio = 0;
  for (int i = 0; i < 148; ++i) {
    const std::string percorso = catalogo.FileProgettoCompleto(i);
    if (i == 139) {
      EXPECT_EQ(righe[140], "StartUpProject=C:\\Progetti VB\\Wexo\\Applicazione\\Orbalis.vbp");
      ++avvio;
    } else {
      EXPECT_EQ(righe[static_cast<size_t>(i) + 1], "Project=" + percorso) << i;
    }
  }
  EXPECT_EQ(avvio, 1);

  // A second run gives the same bytes.
  GeneraVbg(fso, catalogo);
  EXPECT_EQ(Gruppo(), bytes);
}

TEST_F(GeneraVbgTest, AnOlderLongerFileLeavesNothingBehind) {
  std::string vecchio;
  for (int i = 0; i < 500; ++i)
    vecchio += "Project=C:\\Vecchio\\progetto_con_un_nome_lungo" + std::to_string(i) + ".vbp\r\n";
  prefisso.Scrivi(kFileGruppo, vecchio);
  GeneraVbg(fso, Catalogo({{"C:\\A", "A.vbp"}}));
  EXPECT_EQ(Gruppo(), "VBGROUP 5.0\r\nProject=C:\\A\\A.vbp\r\n");
}

TEST_F(GeneraVbgTest, StartUpLinesFollowTheExactNameOnly) {
  GeneraVbg(
      fso,
      Catalogo({{"C:\\A", "A.vbp"}, {"C:\\B", "orbalis.vbp"}, {"C:\\C", "ORBALIS.VBP"}, {"C:\\D", "Orbalis.vbp "}}));
  EXPECT_EQ(Gruppo(),
            "VBGROUP 5.0\r\nProject=C:\\A\\A.vbp\r\nProject=C:\\B\\orbalis.vbp\r\nProject=C:\\C\\ORBALIS.VBP\r\n"
            "Project=C:\\D\\Orbalis.vbp \r\n");

  // Two such rows: each starts, each in its own place.
  GeneraVbg(fso, Catalogo({{"C:\\A", "Orbalis.vbp"}, {"C:\\B", "B.vbp"}, {"C:\\C", "Orbalis.vbp"}}));
  EXPECT_EQ(Gruppo(),
            "VBGROUP 5.0\r\nStartUpProject=C:\\A\\Orbalis.vbp\r\nProject=C:\\B\\B.vbp\r\n"
            "StartUpProject=C:\\C\\Orbalis.vbp\r\n");
}

TEST_F(GeneraVbgTest, PathsAreWrittenInAnsi) {
  GeneraVbg(fso, Catalogo({{"C:\\Città", "Società è.vbp"}}));
  EXPECT_EQ(Gruppo(), "VBGROUP 5.0\r\nProject=C:\\Citt\xE0\\Societ\xE0 \xE8.vbp\r\n");
}

TEST_F(GeneraVbgTest, TheCommandNamesTheFileWrittenAndAMissingFolderStopsItWithTheError) {
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  test::UiRegistrata ui;
  ui.log = {"riga del comando prima"};
  CampiInMemoria campi;
  Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, campi);
  EXPECT_EQ(EseguiComando(ctx, &mnuGeneraVbg_Click), Esito::Completato);
  EXPECT_EQ(ui.log, (std::vector<std::string>{"riga del comando prima",
                                              "File di gruppo scritto in C:\\Progetti VB\\Wexo\\Wexo1.vbg"}));
  EXPECT_TRUE(ui.messaggi.empty());

  // A read-only group file stays as it was.
  prefisso.Scrivi(kFileGruppo, "vecchio");
  std::filesystem::permissions(prefisso.Host(kFileGruppo), std::filesystem::perms::owner_read);
  EXPECT_EQ(EseguiComando(ctx, &mnuGeneraVbg_Click), Esito::ErroreRuntime);
  EXPECT_EQ(prefisso.Leggi(kFileGruppo), "vecchio");
  ui.messaggi.clear();

  test::RendiScrivibile(prefisso.Host(kFileGruppo));
  std::filesystem::remove_all(prefisso.Host("C:\\Progetti VB"));
  EXPECT_EQ(EseguiComando(ctx, &mnuGeneraVbg_Click), Esito::ErroreRuntime);
  ASSERT_EQ(ui.messaggi.size(), 1u);
  EXPECT_EQ(ui.messaggi[0].testo,
            "Errore di run-time '76':\n\nImpossibile trovare il percorso\n\nC:\\Progetti VB\\Wexo\\Wexo1.vbg");
  EXPECT_EQ(ui.messaggi[0].stile, kStileCritico);
  EXPECT_FALSE(prefisso.Esiste(kFileGruppo));
}

TEST_F(GeneraVbgTest, AFailedWriteRaisesTheError) {
  FaultInjectingFileSystem guasto(fso);
  guasto.FailNthWithPath("Wexo1.vbg", 60, kDiscoPieno, FaultInjectingFileSystem::Op::WriteLine);
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  try {
    GeneraVbg(guasto, catalogo);
    FAIL() << "no error";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kDiscoPieno);
  }
  // Every line was composed before the file was touched: one open, then writes.
  const auto traccia = guasto.TraceLines();
  ASSERT_FALSE(traccia.empty());
  EXPECT_EQ(traccia[0], "OpenTextFile C:\\Progetti VB\\Wexo\\Wexo1.vbg ForWriting");
}

}  // namespace
}  // namespace cw
