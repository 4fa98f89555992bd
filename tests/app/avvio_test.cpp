// Start-up: the eight settings read into the fields, the log empty,
// "Binaria" selected.

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/wait.h>

#include "finestra_fixture.h"

namespace cw::test {
namespace {

class AvvioTest : public FinestraTest {
 protected:
  QString Testo(const char* nome) const { return Controllo<QLineEdit>(nome)->text(); }
  Qt::CheckState Incremento() const { return Controllo<QCheckBox>("chkIncrementoAutomatico")->checkState(); }
};

TEST_F(AvvioTest, SenzaFileImpostazioniIValoriPredefiniti) {
  ASSERT_FALSE(std::filesystem::exists(FileIni()));
  Apri();
  EXPECT_EQ(Testo("txtVersionePrincipale"), QStringLiteral("1"));
  EXPECT_EQ(Testo("txtVersioneSecondario"), QStringLiteral("0"));
  EXPECT_EQ(Testo("txtVersioneRevisione"), QStringLiteral("0"));
  for (const char* nome :
       {"txtCommenti", "txtCopyRight", "txtNomeProdotto", "txtNomeSocieta", "txtGuidOld", "txtGuidNew"})
    EXPECT_EQ(Testo(nome), QString()) << nome;
  EXPECT_EQ(Incremento(), Qt::Checked);
  EXPECT_EQ(Controllo<QListWidget>("lstInformazioni")->count(), 0);
  EXPECT_TRUE(finestra->OpzioneSelezionata(Compatibilita::Binaria));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(AvvioTest, UnPrefissoMancanteSiDiceInUnBoxELaFinestraRestaAperta) {
  const std::string mancante = prefisso.Dir().string() + "/non-esiste";
  const struct {
    std::string wineprefix;
    std::string testo;  // a part of the box
  } casi[] = {
      {mancante, "la cartella \"" + mancante + "\" non esiste"},
      {(prefisso.Dir() / "drive_c").string(), "manca la sottocartella dosdevices"},
  };
  for (const auto& c : casi) {
    qputenv("WINEPREFIX", QByteArray::fromStdString(c.wineprefix));
    boxes.clear();
    Apri();
    QApplication::processEvents();
    ASSERT_EQ(boxes.size(), 1u) << c.wineprefix;
    EXPECT_NE(boxes[0].testo.toStdString().find(c.testo), std::string::npos) << boxes[0].testo.toStdString();
    EXPECT_NE(boxes[0].testo.indexOf(QStringLiteral("WINEPREFIX=")), -1);
    EXPECT_EQ(boxes[0].icona, QMessageBox::Critical);
    EXPECT_TRUE(finestra->isVisible());
  }
}

TEST_F(AvvioTest, IValoriDelFileNeiCampi) {
  ScriviIni(
      "[Versione]\r\nIncrementoAutomatico=0\r\nPrincipale=\r\nSecondario=12\r\nRevisione=10000\r\n"
      "Commenti=Note \xE8 varie\r\nCopyRight=(c) Orbalis\r\nNomeProdotto=Wexo=Suite\r\nNomeSocieta=Orbalis S.p.A.\r\n");
  Apri();
  EXPECT_EQ(Incremento(), Qt::Unchecked);
  // Present but empty is empty, not the default "1".
  EXPECT_EQ(Testo("txtVersionePrincipale"), QString());
  EXPECT_EQ(Testo("txtVersioneSecondario"), QStringLiteral("12"));
  // The typing limit does not cut what the program puts in the box.
  EXPECT_EQ(Testo("txtVersioneRevisione"), QStringLiteral("10000"));
  EXPECT_EQ(Testo("txtCommenti"), QStringLiteral("Note è varie"));
  EXPECT_EQ(Testo("txtCopyRight"), QStringLiteral("(c) Orbalis"));
  EXPECT_EQ(Testo("txtNomeProdotto"), QStringLiteral("Wexo=Suite"));
  EXPECT_EQ(Testo("txtNomeSocieta"), QStringLiteral("Orbalis S.p.A."));
  EXPECT_TRUE(finestra->OpzioneSelezionata(Compatibilita::Binaria));
}

TEST_F(AvvioTest, LaCasellaDaIncrementoAutomaticoAnd1) {
  const struct {
    const char* valore;
    Qt::CheckState atteso;
  } kCasi[] = {{"0", Qt::Unchecked},
               {"7", Qt::Checked},
               {"1", Qt::Checked},
               {"-1", Qt::Checked},
               {"parola", Qt::Checked}};  // a word falls back to the default -1
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.valore);
    ScriviIni(std::string("[Versione]\r\nIncrementoAutomatico=") + c.valore + "\r\n");
    Apri(false);
    EXPECT_EQ(Incremento(), c.atteso);
    EXPECT_EQ(Testo("txtVersionePrincipale"), QStringLiteral("1"));
  }
}

// The program answers --help and --version before it opens a window, so
// where there is no display at all, and refuses what it does not take with
// the batch mode's usage status, before Qt could read it as one of its own.
TEST(Avvio, CommandLineWithoutADisplay) {
  const std::filesystem::path programma = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "compilawexo";
  const struct {
    const char* argomenti;
    int stato;
    std::string uscita;  // standard output: all of it, or its start for the help
    bool inizio;
  } kCasi[] = {
      {"--version", 0, std::string("compilawexo ") + CW_VERSIONE + "\n", false},
      {"--help", 0, "Uso: compilawexo\n", true},
      {"-h", 0, "Uso: compilawexo\n", true},
      {"--version --help", 0, "Uso: compilawexo\n", true},
      {"--bogus", 64, "", false},
      {"-platform offscreen", 64, "", false},
      {"progetto.vbp", 64, "", false},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.argomenti);
    const std::string riga = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" + programma.string() + "' " +
                             c.argomenti + " 2>/dev/null";
    FILE* p = ::popen(riga.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string uscita;
    for (int ch; (ch = std::fgetc(p)) != EOF;) uscita += static_cast<char>(ch);
    const int stato = ::pclose(p);
    ASSERT_TRUE(WIFEXITED(stato));
    EXPECT_EQ(WEXITSTATUS(stato), c.stato);
    EXPECT_EQ(c.inizio ? uscita.substr(0, c.uscita.size()) : uscita, c.uscita);
  }
}

}  // namespace
}  // namespace cw::test
