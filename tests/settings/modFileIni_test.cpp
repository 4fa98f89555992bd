// modFileIni: the settings file's name, the UTF-8 edge and the two kinds of
// setting the window keeps there.

#include "settings/modFileIni.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include "settings/file_profilo.h"

namespace cw {
namespace {

using test::FileProfilo;
using namespace std::string_literals;

TEST(NomeFileIni, BesideTheFolderUnlessTheFolderEndsInASeparator) {
  EXPECT_EQ(NomeFileIni("/x/Compila"), "/x/CompilaWexoUty.ini");
  EXPECT_EQ(NomeFileIni("/x/Compila/"), "/x/Compila/WexoUty.ini");
  EXPECT_EQ(NomeFileIni("/"), "/WexoUty.ini");
}

TEST(CartellaProgramma, IsTheExecutablesFolder) {
  const std::string cartella = test::SistemaDiProva().cartelle->CartellaEseguibile().string();
#ifdef _WIN32
  wchar_t nome[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, nome, MAX_PATH);
  const std::filesystem::path programma(nome);
#else
  const auto programma = std::filesystem::read_symlink("/proc/self/exe");
#endif
  EXPECT_EQ(cartella, programma.parent_path().string());
  EXPECT_NE(cartella.back(), '/');
  EXPECT_NE(cartella.back(), '\\');
  EXPECT_EQ(NomeFileIni(cartella), programma.parent_path().string() + "WexoUty.ini");
}

TEST(ModFileIni, NoFileGivesTheWindowsDefaults) {
  FileProfilo f;
  const std::string& ini = f.Percorso();
  EXPECT_EQ(LeggiIniIntero(test::ProfiloDiProva(), ini, kSezioneVersione, "IncrementoAutomatico", -1), -1);
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), ini, kSezioneVersione, "Principale", "1", 255), "1");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), ini, kSezioneVersione, "Secondario", "0", 255), "0");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), ini, kSezioneVersione, "Commenti", "", 255), "");
  EXPECT_FALSE(f.Esiste());
}

TEST(ModFileIni, TextsCrossInWindows1252) {
  FileProfilo f;
  ScriviIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "NomeSocieta", "Società € ☃");
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nNomeSocieta=Societ\xE0 \x80 ?\r\n");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "nomesocieta", "", 255),
            "Società € ?");
  // Names are converted too, so an accented key finds its own line.
  ScriviIniStringa(test::ProfiloDiProva(), f.Percorso(), "Più", "Città", "1");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), "Più", "Città", "", 255), "1");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), "Più", "Manca", "già", 255), "già");
}

TEST(ModFileIni, StringReadBuffer) {
  FileProfilo f;
  f.Metti("[Versione]\r\nPrincipale=\r\nNomeProdotto=" + std::string(300, 'p') + "\r\nNul=a\0b\r\n"s);
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Principale", "1", 255), "");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "NomeProdotto", "", 255),
            std::string(253, 'p'));
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Nul", "", 255), "a");
  // A buffer with no room for the NUL keeps the default.
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "NomeProdotto", "d", 1), "d");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "NomeProdotto", "d", 0), "d");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "NomeProdotto", "d", -5), "d");
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "NomeProdotto", "d", 4), "pp");
}

TEST(ModFileIni, IntegerReadIsATruthValue) {
  FileProfilo f;
  f.Metti(
      "[Versione]\r\nZero=0\r\nUno=1\r\nMenoUno=-1\r\nSette=7\r\nMezzo=0.5\r\nZeroVirgola= 0.0e5 \r\n"
      "Parola=sì\r\nVuoto=\r\nVirgola=1,5\r\n");
  const auto leggi = [&](const char* chiave, std::int16_t predefinito = -1) {
    return LeggiIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, chiave, predefinito);
  };
  EXPECT_EQ(leggi("Zero"), 0);
  EXPECT_EQ(leggi("ZeroVirgola"), 0);
  EXPECT_EQ(leggi("Uno"), -1);
  EXPECT_EQ(leggi("MenoUno"), -1);
  EXPECT_EQ(leggi("Sette", 0), -1);
  EXPECT_EQ(leggi("Mezzo", 0), -1);
  EXPECT_EQ(leggi("Parola"), -1);
  EXPECT_EQ(leggi("Parola", 0), 0);
  EXPECT_EQ(leggi("Parola", 5), 5);  // not a number: the default unchanged
  EXPECT_EQ(leggi("Vuoto", 3), 3);
  EXPECT_EQ(leggi("Virgola", 3), 3);
  EXPECT_EQ(leggi("Manca", 0), 0);
  EXPECT_EQ(leggi("Manca", 5), -1);  // the default's own text is read as a flag
}

TEST(ModFileIni, IntegerWriteIsDecimalText) {
  FileProfilo f;
  ScriviIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "IncrementoAutomatico", -1);
  ScriviIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Zero", 0);
  ScriviIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Minimo", -32768);
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nIncrementoAutomatico=-1\r\nZero=0\r\nMinimo=-32768\r\n");
  ScriviIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "IncrementoAutomatico", 0);
  EXPECT_EQ(LeggiIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "IncrementoAutomatico", -1), 0);
}

TEST(ModFileIni, WritersStaySilentWhenTheFileCannotBeWritten) {
  FileProfilo f;
  f.Metti("[Versione]\r\nPrincipale=2\r\n");
  std::filesystem::permissions(f.Percorso(), std::filesystem::perms::owner_read);
  ScriviIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Principale", "3");
  ScriviIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "IncrementoAutomatico", 0);
  EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Principale", "1", 255), "2");
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nPrincipale=2\r\n");
  EXPECT_NO_THROW(ScriviIniStringa(test::ProfiloDiProva(), (f.Cartella() / "manca" / "x.ini").string(),
                                   kSezioneVersione, "A", "1"));
}

// Only a mark at the very start is refused; then no writer adds a second
// "[Versione]" nor removes a key, and the message names the file and the mark.
TEST(ModFileIni, AUtf8MarkAtTheStartIsRefusedAndNeverWrittenInto) {
  const struct {
    std::string contenuto;
    bool rifiutato;
  } kCasi[] = {
      {"\xEF\xBB\xBF[Versione]\r\nPrincipale=2\r\n", true},
      {"\xEF\xBB\xBF", true},
      {"\xEF\xBB[Versione]\r\nPrincipale=2\r\n", false},
      {"[Versione]\r\n\xEF\xBB\xBFPrincipale=2\r\n", false},
      {"\xFF\xFE[\0V\0]\0"s, false},
      {"", false},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.contenuto);
    FileProfilo f;
    f.Metti(c.contenuto);
    const std::string testo = MarcaUtf8Rifiutata(test::ProfiloDiProva(), f.Percorso());
    EXPECT_EQ(testo.empty(), !c.rifiutato);
    if (!c.rifiutato) continue;
    EXPECT_NE(testo.find("'" + f.Percorso() + "'"), std::string::npos);
    EXPECT_NE(testo.find("EF BB BF"), std::string::npos);
    EXPECT_FALSE(ScriviIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Principale", "3"));
    EXPECT_FALSE(ScriviIniIntero(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "IncrementoAutomatico", 0));
    CancellaIniChiave(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "Principale");
    EXPECT_EQ(f.Contenuto(), c.contenuto);
  }
  FileProfilo manca;
  EXPECT_EQ(MarcaUtf8Rifiutata(test::ProfiloDiProva(), manca.Percorso()), "");
}

// A key written twice: removing it removes every copy, so the next read does
// not find the one behind it.
TEST(ModFileIni, RemovingAKeyRemovesEveryCopyOfIt) {
  const struct {
    const char* prima;
    const char* dopo;
  } casi[] = {
      {"[Versione]\r\nUltimaRigaFallita=3\r\nA=1\r\nUltimaRigaFallita=5\r\n", "[Versione]\r\nA=1\r\n"},
      {"[Versione]\r\nultimarigafallita=1\r\nA=1\r\nUltimaRigaFallita = 2\r\nUltimaRigaFallita=3\r\n",
       "[Versione]\r\nA=1\r\n"},
      {"[Versione]\r\nUltimaRigaFallita=\r\nA=1\r\nUltimaRigaFallita=4\r\n", "[Versione]\r\nA=1\r\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.prima);
    FileProfilo f;
    f.Metti(c.prima);
    CancellaIniChiave(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "UltimaRigaFallita");
    EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "UltimaRigaFallita", "-", 255),
              "-");
    EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), f.Percorso(), kSezioneVersione, "A", "-", 255), "1");
#ifndef _WIN32  // the system's writer lays the file out its own way
    EXPECT_EQ(f.Contenuto(), c.dopo);
#endif
  }
}

// A fresh prefix has no "C:\Programmi\CompilaWexo": the first write makes it.
TEST(ModFileIni, TheFirstWriteMakesTheFoldersOnTheWay) {
  FileProfilo f;
  test::ScriviFile(f.Cartella() / "file", "");
  const struct {
    const char* percorso;  // inside the test's folder
    bool scritto;
  } casi[] = {
      {"nuova/WexoUty.ini", true},
      {"a/b/c/WexoUty.ini", true},
      {"file/sotto/WexoUty.ini", false},  // a file where a folder is needed
  };
  for (const auto& c : casi) {
    const std::string ini = (f.Cartella() / c.percorso).string();
    EXPECT_EQ(SalvaVersione(
                  test::ProfiloDiProva(), [&] { return ini; }, true, "4", "0", "1"),
              c.scritto)
        << c.percorso;
    EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), ini, kSezioneVersione, "Principale", "-", 255),
              c.scritto ? "4" : "-")
        << c.percorso;
    EXPECT_EQ(LeggiIniIntero(test::ProfiloDiProva(), ini, kSezioneVersione, "IncrementoAutomatico", 0),
              c.scritto ? -1 : 0)
        << c.percorso;
  }
}

}  // namespace
}  // namespace cw
