#include "tools/indirizzi_base_dll.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/comandi.h"
#include "commands/cornice.h"
#include "support/contesto_prova.h"
#include "support/fso_di_prova.h"
#include "support/prefisso_temporaneo.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

const std::string kPrefisso = "Indirizzo di base di: ";

TEST(RigaIndirizzoBase, NamesArePaddedToThirtyCharacters) {
  // 9 characters: 21 blanks, the value at character 53.
  const std::string riga = RigaIndirizzoBase("Utile.vbp", "=&H11000000");
  EXPECT_EQ(riga, kPrefisso + "UTILE.VBP" + std::string(21, ' ') + "=&H11000000");
  EXPECT_EQ(riga.find('='), 52u);
  EXPECT_EQ(RigaIndirizzoBase(std::string(25, 'a') + ".vbp", "=1"), kPrefisso + std::string(25, 'A') + ".VBP =1");
  EXPECT_EQ(RigaIndirizzoBase(std::string(26, 'a') + ".vbp", "=1"), kPrefisso + std::string(26, 'A') + ".VBP=1");
  // Longer than the column: one blank, so the value never runs into the name.
  EXPECT_EQ(RigaIndirizzoBase(std::string(27, 'a') + ".vbp", "=1"), kPrefisso + std::string(27, 'A') + ".VBP =1");
  EXPECT_EQ(RigaIndirizzoBase(std::string(40, 'a'), "x"), kPrefisso + std::string(40, 'A') + " x");
}

TEST(RigaIndirizzoBase, TheColumnCountsCharactersNotBytes) {
  // "Città.vbp" is 9 characters in 10 bytes.
  EXPECT_EQ(RigaIndirizzoBase("Città.vbp", "=&H1"), kPrefisso + "CITTÀ.VBP" + std::string(21, ' ') + "=&H1");
}

class IndirizziTest : public ::testing::Test {
 protected:
  IndirizziTest() : fso(prefisso) {}

  // One "dll" row per file, plus rows of the kinds the report leaves out.
  void Progetto(const std::string& nome, const std::string& contenuto, const std::string& tipo = "dll") {
    const std::string cartella = "C:\\Progetti VB\\Wexo\\" + nome.substr(0, nome.find('.'));
    prefisso.Scrivi(cartella + "\\" + nome, contenuto);
    righe.push_back({cartella, nome, "C:\\Orbalis\\Componenti", tipo, "x"});
  }
  std::vector<std::string> Report() {
    catalogo = CatalogoComponenti(righe);
    IndirizziBaseDll(fso, catalogo, ui);
    return ui.log;
  }
  static std::string Riga(const std::string& nome, const std::string& valore) {
    return RigaIndirizzoBase(nome, valore);
  }

  test::PrefissoTemporaneo prefisso;
  test::FileSystemDiProva fso;
  std::vector<RigaCatalogo> righe;
  CatalogoComponenti catalogo{std::vector<RigaCatalogo>{}};
  test::UiRegistrata ui;
};

TEST_F(IndirizziTest, OneLinePerDllRowWithTheFirstKeyLineOnlyInCatalogueOrder) {
  Progetto("Zeta.vbp", "Type=OleDll\r\nDllBaseAddress=&H11000000\r\nName=\"Zeta\"\r\n");
  Progetto("Exe.vbp", "DllBaseAddress=&H9\r\n", "exe");
  Progetto("Alfa.vbp", "DllBaseAddress=&H10000000\r\nDllBaseAddress=&H20000000\r\n");
  Progetto("Saltato.vbp", "DllBaseAddress=&H9\r\n", "dll-skipcompile");
  Progetto("App.vbp", "DllBaseAddress=&H9\r\n", "app");
  Progetto("Uguale.vbp", "DllBaseAddress=&H10000000");  // last line without CR LF; same address, no remark
  Progetto("Dll.vbp", "DllBaseAddress=&H1\r\n", "Dll");
  ui.log = {"riga vecchia"};
  ui.font = "Tahoma";

  EXPECT_EQ(Report(), (std::vector<std::string>{Riga("Zeta.vbp", "=&H11000000"), Riga("Alfa.vbp", "=&H10000000"),
                                                Riga("Uguale.vbp", "=&H10000000")}));
  EXPECT_EQ(ui.font, "Courier New");
  EXPECT_EQ(ui.eventi[0], "clear");
  EXPECT_EQ(ui.eventi[1], "font:Courier New");
  // Each line is selected and shown as it arrives.
  EXPECT_EQ(std::vector<std::string>(ui.eventi.begin() + 2, ui.eventi.begin() + 5),
            (std::vector<std::string>{"add:" + Riga("Zeta.vbp", "=&H11000000"), "select:0", "refresh"}));
  EXPECT_EQ(ui.selezionata, 2);
  EXPECT_TRUE(ui.puntatori.empty());
  EXPECT_TRUE(ui.messaggi.empty());
}

TEST_F(IndirizziTest, OnlyTheExactKeyAtTheStartOfALineCounts) {
  Progetto("Minuscolo.vbp", "dllbaseaddress=&H1\r\nDLLBASEADDRESS=&H2\r\n");
  Progetto("Spazi.vbp", "  DllBaseAddress=&H1\r\n\tDllBaseAddress=&H2\r\n");
  Progetto("Vuoto.vbp", "");
  Progetto("SenzaUguale.vbp", "DllBaseAddress &H1\r\nDllBaseAddres=&H2\r\n");
  Progetto("Nulla.vbp", "DllBaseAddress=\r\nDllBaseAddress=&H5\r\n");
  Progetto("Spazio.vbp", "DllBaseAddress= &H1 \r\n");
  EXPECT_EQ(Report(), (std::vector<std::string>{
                          Riga("Minuscolo.vbp", "Non specificato: Minuscolo.vbp"),
                          Riga("Spazi.vbp", "Non specificato: Spazi.vbp"),
                          Riga("Vuoto.vbp", "Non specificato: Vuoto.vbp"),
                          Riga("SenzaUguale.vbp", "Non specificato: SenzaUguale.vbp"),
                          Riga("Nulla.vbp", "="),
                          Riga("Spazio.vbp", "= &H1 "),
                      }));
}

TEST_F(IndirizziTest, FileBytesAreShownFromAnsiAndNothingIsWritten) {
  const std::string contenuto = "DllBaseAddress=&H1 \xE8 \x80\r\n";
  Progetto("Ansi.vbp", contenuto);
  EXPECT_EQ(Report(), std::vector<std::string>{Riga("Ansi.vbp", "=&H1 è €")});
  EXPECT_EQ(prefisso.Leggi("C:\\Progetti VB\\Wexo\\Ansi\\Ansi.vbp"), contenuto);
}

TEST_F(IndirizziTest, AMissingProjectFileStopsTheCommandAndKeepsTheLinesBefore) {
  Progetto("Primo.vbp", "DllBaseAddress=&H1\r\n");
  // No address line (an empty file would be refused before any row).
  Progetto("Secondo.vbp", "Type=OleDll\r\n");
  prefisso.Scrivi("C:\\Progetti VB\\Wexo\\Manca\\Manca.vbp_1", "DllBaseAddress=&H2\r\n");
  righe.push_back({"C:\\Progetti VB\\Wexo\\Manca", "Manca.vbp", "C:\\Out", "dll", "x"});
  Progetto("Dopo.vbp", "DllBaseAddress=&H3\r\n");
  catalogo = CatalogoComponenti(righe);
  CampiInMemoria campi;
  Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, campi);
  EXPECT_EQ(EseguiComando(ctx, &mnuIndirizziBaseDll_Click), Esito::ErroreRuntime);
  EXPECT_EQ(ui.log,
            (std::vector<std::string>{Riga("Primo.vbp", "=&H1"), Riga("Secondo.vbp", "Non specificato: Secondo.vbp")}));
  ASSERT_EQ(ui.messaggi.size(), 1u);
  EXPECT_EQ(ui.messaggi[0].testo.substr(0, 24), "Errore di run-time '53':");
}

TEST_F(IndirizziTest, TheFontStaysUntilTheNextFramedCommandSetsItsOwn) {
  Progetto("Uno.vbp", "DllBaseAddress=&H1\r\n");
  catalogo = CatalogoComponenti(righe);
  CampiInMemoria campi;
  Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, campi);
  EXPECT_EQ(EseguiComando(ctx, &mnuIndirizziBaseDll_Click), Esito::Completato);
  EXPECT_EQ(ui.font, "Courier New");
  EXPECT_EQ(ui.log.back(), Riga("Uno.vbp", "=&H1"));  // no "Pronto"
  InCornice(ctx, Cornice{}, [] { return Esito::Completato; });
  EXPECT_EQ(ui.font, "Tahoma");
  EXPECT_EQ(ui.log, std::vector<std::string>{"Pronto"});
}

}  // namespace
}  // namespace cw
