// The editing commands as the window runs them: through the click
// dispatcher, with the recording window face, the real file service on a
// temporary prefix and a settings file of their own.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include "build/tutto.h"
#include "commands/anteprima.h"
#include "commands/comandi.h"
#include "settings/modFileIni.h"
#include "support/blocco_finto.h"
#include "support/compila_finti.h"
#include "support/contesto_prova.h"
#include "support/suite_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::Messaggio;
using test::SuiteProva;
using test::UiRegistrata;

const std::string kProgetto =
    "Type=OleDll\n"
    "CompatibleMode=\"1\"\n"
    "MajorVer=1\n"
    "MinorVer=0\n"
    "RevisionVer=41\n"
    "FavorPentiumPro(tm)=0\n"
    "VersionComments=\"old\"\n"
    "VersionCompanyName=S\n"
    "Object={AAAA}#1.0#0; A.ocx\n";

class ComandiTest : public ::testing::Test {
 protected:
  SuiteProva suite{{{"Alfa", "Alfa.vbp", "dll"}, {"Beta", "Beta.vbp", "app"}}};
  UiRegistrata ui;
  CampiInMemoria campi;
  Contesto ctx = test::ContestoDiProva(suite.fso, suite.catalogo, ui, campi);

  void SetUp() override {
    ctx.fileIni = [this] { return (suite.prefisso.Dir() / "programmaWexoUty.ini").string(); };
    for (std::size_t i = 0; i < suite.righe.size(); ++i) suite.Scrivi(suite.Progetto(i), kProgetto);
    campi.ImpostaTesto(Campo::txtVersionePrincipale, "2");
    campi.ImpostaTesto(Campo::txtVersioneSecondario, "1");
    campi.ImpostaTesto(Campo::txtVersioneRevisione, "7");
    campi.ImpostaIncrementoAutomatico(1);
  }

  Esito Clic(Gestore g) { return EseguiComando(ctx, g); }
  std::string Ini(const std::string& chiave) const {
    return LeggiIniStringa(test::ProfiloDiProva(), ctx.FileIni(), kSezioneVersione, chiave, "<assente>", 255);
  }
  std::string IniGrezzo() const {
    std::ifstream in(ctx.FileIni(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string P(std::size_t i) const { return suite.Leggi(suite.Progetto(i)); }
  bool Riga(std::size_t i, const std::string& riga) const { return P(i).find(riga + "\r\n") != std::string::npos; }
  std::vector<std::string> Backup() const {
    return {"Backup di ALFA.VBP in corso... OK!", "Backup di BETA.VBP in corso... OK!"};
  }
  static std::vector<std::string> Piu(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }
  void Messaggio1(const std::string& testo, int stile) const {
    ASSERT_EQ(ui.messaggi.size(), 1u);
    EXPECT_EQ(ui.messaggi[0].testo, testo);
    EXPECT_EQ(ui.messaggi[0].stile, stile);
    EXPECT_EQ(ui.messaggi[0].titolo, "CompilaWexo");
  }
};

TEST_F(ComandiTest, TheFiveCommandsAreInTheTable) {
  std::vector<std::string> nomi;
  for (const auto& v : TabellaComandi()) nomi.push_back(v.nome);
  for (const char* n : {"cmdBackup", "cmdBackupCompatibilita", "cmdImpostaVersione", "cmdApplica", "cmdChangeGuid"})
    EXPECT_NE(std::find(nomi.begin(), nomi.end(), n), nomi.end()) << n;
}

// A lock held elsewhere, or one that cannot be taken at all, refuses the
// command before anything is written; it is never a pass.
TEST_F(ComandiTest, ALockThatIsNotTakenRefusesTheCommand) {
  const struct {
    PresaBlocco esito;
    const char* testo;
    std::optional<DetentoreBlocco> detentore;  // the holder's record, as it reads
  } casi[] = {
      {PresaBlocco::Occupata, "CompilaWexo è già in esecuzione su questo prefisso", std::nullopt},
      {PresaBlocco::Occupata, "CompilaWexo è già in esecuzione su questo prefisso: compilawexo-batch tutto, dalle ",
       DetentoreBlocco{"compilawexo-batch", "tutto", 42, std::time(nullptr) - 1}},
      {PresaBlocco::Impossibile, "Impossibile bloccare la cartella \"/x\": accesso negato.", std::nullopt},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.testo);
    ui.messaggi.clear();
    test::BloccoFinto blocco;
    blocco.esito = c.esito;
    blocco.motivo = "Impossibile bloccare la cartella \"/x\": accesso negato.";
    blocco.detentore = c.detentore;
    ctx.blocco = &blocco;
    EXPECT_EQ(Clic(cmdBackup_Click), Esito::Rifiutato);
    ASSERT_EQ(ui.messaggi.size(), 1u);
    EXPECT_EQ(ui.messaggi[0].testo.substr(0, std::string(c.testo).size()), c.testo);
    EXPECT_EQ(ui.messaggi[0].testo.size(), std::string(c.testo).size() + (c.detentore ? 5 : 0));  // "HH:MM"
    EXPECT_FALSE(suite.Esiste(suite.Progetto(0) + "_1"));
  }
}

// A writing command holds the lock while it runs, writes down who holds it,
// and lets go of it however it ends: before its closing box when nothing is
// written after it. One that only reads never takes it.
TEST_F(ComandiTest, OnlyAWritingCommandTakesTheLockAndItIsLetGoAfter) {
  const struct {
    const char* nome;
    Gestore gestore;
    std::vector<std::string> eventi;
  } casi[] = {
      {"completes", &cmdBackup_Click, {"blocco:prendi", "blocco:annota:compilawexo backup", "blocco:lascia", "msg"}},
      {"raises",
       [](Contesto&) -> Esito { SollevaErrore(kFileNonTrovato); },
       {"blocco:prendi", "blocco:annota:compilawexo ?", "blocco:lascia", "msg"}},
      {"only reads", &mnuIndirizziBaseDll_Click, {}},
  };
  for (const auto& c : casi) {
    test::BloccoFinto blocco;
    ctx.blocco = &blocco;
    ui.eventi.clear();
    blocco.anche = &ui.eventi;
    Clic(c.gestore);
    std::vector<std::string> visti;  // the lock's events and the boxes, in order
    for (const std::string& e : ui.eventi)
      if (e.rfind("blocco:", 0) == 0 || (e.rfind("msg:", 0) == 0 && !blocco.eventi.empty()))
        visti.push_back(e.rfind("msg:", 0) == 0 ? "msg" : e);
    EXPECT_EQ(visti, c.eventi) << c.nome;
  }
}

TEST_F(ComandiTest, SoloBackupRunsInTheFrameWithItsClosingMessage) {
  ui.LogAddItem("left over");
  ui.LogSetFontName("Courier New");
  ui.eventi.clear();
  EXPECT_EQ(Clic(cmdBackup_Click), Esito::Completato);
  EXPECT_EQ(ui.log, Piu(Backup(), {"Pronto"}));
  EXPECT_EQ(ui.selezionata, 2);
  EXPECT_EQ(ui.font, "Tahoma");
  EXPECT_EQ(ui.puntatori, (std::vector<int>{11, 0}));
  Messaggio1("Backup effettuato", 64);
  // Frame order: pointer, clear, font ... "Pronto", select, refresh, pointer, message.
  const std::vector<std::string> inizio(ui.eventi.begin(), ui.eventi.begin() + 3);
  EXPECT_EQ(inizio, (std::vector<std::string>{"pointer:11", "clear", "font:Tahoma"}));
  const std::vector<std::string> fine(ui.eventi.end() - 5, ui.eventi.end());
  EXPECT_EQ(fine, (std::vector<std::string>{"add:Pronto", "select:2", "refresh", "pointer:0",
                                            "msg:CompilaWexo:Backup effettuato"}));
  EXPECT_EQ(suite.Leggi(suite.Progetto(0) + "_1"), kProgetto);
}

TEST_F(ComandiTest, BackupECompatibilitaWritesTheSelectedMode) {
  const struct {
    Compatibilita opzione;
    const char* riga;
  } kCasi[] = {{Compatibilita::Nessuna, "CompatibleMode=\"0\""},
               {Compatibilita::Progetto, "CompatibleMode=\"1\""},
               {Compatibilita::Binaria, "CompatibleMode=\"2\""}};
  for (const auto& c : kCasi) {
    campi.SelezionaOpzione(c.opzione);
    ui.messaggi.clear();
    EXPECT_EQ(Clic(cmdBackupCompatibilita_Click), Esito::Completato);
    EXPECT_TRUE(Riga(0, c.riga)) << c.riga;
    EXPECT_EQ(ui.log, Piu(Backup(), {"Impostazione compatibilità di ALFA.VBP in corso... OK!", "Pronto"}));
    Messaggio1("Backup e impostazione compatibilità effettuate", 64);
  }
  EXPECT_EQ(P(1), kProgetto);  // the "app" row
  EXPECT_EQ(ui.puntatori, (std::vector<int>{11, 0, 11, 0, 11, 0}));
}

// Options as a window might report them with none of the three selected.
class NessunaOpzione : public CampiInMemoria {
 public:
  bool OpzioneSelezionata(Compatibilita) const override { return false; }
};

TEST_F(ComandiTest, BinaryIsWhatIsLeftWhenNeitherOtherOptionIsSelected) {
  NessunaOpzione nessuna;
  Contesto c = test::ContestoDiProva(suite.fso, suite.catalogo, ui, nessuna, {.fileIni = ctx.fileIni});
  EXPECT_EQ(EseguiComando(c, cmdBackupCompatibilita_Click), Esito::Completato);
  EXPECT_TRUE(Riga(0, "CompatibleMode=\"2\""));
}

TEST_F(ComandiTest, BackupEVersioneWritesIncrementsAndSavesInOrder) {
  EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Completato);
  for (std::size_t i : {0u, 1u}) {
    EXPECT_TRUE(Riga(i, "MajorVer=2"));
    EXPECT_TRUE(Riga(i, "MinorVer=1"));
    EXPECT_TRUE(Riga(i, "RevisionVer=7"));  // the revision as it stood before the click
    EXPECT_TRUE(Riga(i, "FavorPentiumPro(tm)=-1"));
  }
  EXPECT_EQ(campi.Testo(Campo::txtVersioneRevisione), "8");
  EXPECT_EQ(IniGrezzo(), "[Versione]\r\nIncrementoAutomatico=-1\r\nPrincipale=2\r\nSecondario=1\r\nRevisione=8\r\n");
  EXPECT_EQ(ui.log, Piu(Backup(), {"Impostazione versione di ALFA.VBP in corso... OK!",
                                   "Impostazione versione di BETA.VBP in corso... OK!", "Pronto"}));
  EXPECT_EQ(ui.puntatori, (std::vector<int>{13, 0}));
  Messaggio1("Backup e impostazione versione effettuate", 64);
  // The backup was taken before the rewrite.
  EXPECT_EQ(suite.Leggi(suite.Progetto(0) + "_1"), kProgetto);

  // The next click writes what the field now shows.
  EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Completato);
  EXPECT_TRUE(Riga(0, "RevisionVer=8"));
  EXPECT_EQ(Ini("Revisione"), "9");
}

TEST_F(ComandiTest, TheRevisionIsWrittenAsTypedAndIncrementedAsANumber) {
  campi.ImpostaTesto(Campo::txtVersionePrincipale, " 3");
  campi.ImpostaTesto(Campo::txtVersioneRevisione, "0099");
  EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Completato);
  EXPECT_TRUE(Riga(0, "MajorVer= 3"));
  EXPECT_TRUE(Riga(0, "RevisionVer=0099"));
  EXPECT_EQ(campi.Testo(Campo::txtVersioneRevisione), "100");
  EXPECT_EQ(Ini("Principale"), "3");  // the reader drops the blank; the file holds it
#ifndef _WIN32                        // there the system's writer lays out the file (Wine's drops the blank)
  EXPECT_NE(IniGrezzo().find("Principale= 3\r\n"), std::string::npos);
#endif

  const struct {
    const char* prima;
    const char* dopo;
  } kCasi[] = {{"0", "1"}, {"  12", "13"}, {"9998", "9999"}};
  for (const auto& c : kCasi) {
    campi.ImpostaTesto(Campo::txtVersioneRevisione, c.prima);
    EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Completato) << c.prima;
    EXPECT_TRUE(Riga(0, std::string("RevisionVer=") + c.prima)) << c.prima;
    EXPECT_EQ(campi.Testo(Campo::txtVersioneRevisione), c.dopo) << c.prima;
  }
}

TEST_F(ComandiTest, GreyedOrClearCheckBoxDoesNotIncrement) {
  for (int valore : {2, 0}) {
    campi.ImpostaIncrementoAutomatico(valore);
    campi.ImpostaTesto(Campo::txtVersioneRevisione, "9999");
    EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Completato) << valore;
    EXPECT_EQ(campi.Testo(Campo::txtVersioneRevisione), "9999");
    EXPECT_TRUE(Riga(0, "RevisionVer=9999"));
    EXPECT_EQ(Ini("IncrementoAutomatico"), "0");
    EXPECT_EQ(Ini("Revisione"), "9999");
  }
  // With the box clear a revision past the limit is still no version number.
  campi.ImpostaTesto(Campo::txtVersioneRevisione, "10000");
  EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Rifiutato);
  EXPECT_TRUE(Riga(0, "RevisionVer=9999"));
}

TEST_F(ComandiTest, TheFirstInvalidFieldIsReportedAndNothingElseHappens) {
  const struct {
    const char* principale;
    const char* secondario;
    const char* revisione;
    const char* messaggio;
  } kCasi[] = {
      {"", "1", "", "Versione principale non valida"},     {"1,5", "1", "1", "Versione principale non valida"},
      {"2", "x", "", "Versione secondaria non valida"},    {"2", "1 2", "3", "Versione secondaria non valida"},
      {"2", "1", "", "Versione revisione non valida"},     {"2", "1", " ", "Versione revisione non valida"},
      {"2", "1", "&H10", "Versione revisione non valida"},
  };
  for (const auto& c : kCasi) {
    campi.ImpostaTesto(Campo::txtVersionePrincipale, c.principale);
    campi.ImpostaTesto(Campo::txtVersioneSecondario, c.secondario);
    campi.ImpostaTesto(Campo::txtVersioneRevisione, c.revisione);
    ui.eventi.clear();
    ui.messaggi.clear();
    EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Rifiutato);
    Messaggio1(c.messaggio, 48);
    EXPECT_EQ(ui.eventi.size(), 1u);  // the box and nothing else: no pointer, no log
  }
  EXPECT_EQ(P(0), kProgetto);
  EXPECT_FALSE(suite.Esiste(suite.Progetto(0) + "_1"));
  EXPECT_EQ(IniGrezzo(), "");
}

TEST_F(ComandiTest, ARevisionTheIncrementWouldOverflowIsRefusedBeforeAnyChange) {
  const std::string kNonValida = "Versione revisione non valida";
  // The one number that is valid, but not once incremented, says why.
  const std::string kOltre =
      kNonValida + ": con \"Incremento automatico\" la revisione 9999 diventerebbe 10000, oltre il massimo di 9999";
  for (const auto& [revisione, messaggio] :
       std::initializer_list<std::pair<const char*, std::string>>{{"9999", kOltre},
                                                                  {" 09999", kOltre},
                                                                  {"10000", kNonValida},
                                                                  {"32767", kNonValida},
                                                                  {"32767.5", kNonValida},
                                                                  {"-40000", kNonValida},
                                                                  {"1e10", kNonValida},
                                                                  {"1e2", kNonValida},
                                                                  {"2.5", kNonValida},
                                                                  {"-1", kNonValida},
                                                                  {"+1", kNonValida},
                                                                  {"1 ", kNonValida}}) {
    campi.ImpostaTesto(Campo::txtVersioneRevisione, revisione);
    ui.eventi.clear();
    ui.messaggi.clear();
    EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::Rifiutato) << revisione;
    Messaggio1(messaggio, 48);
    EXPECT_EQ(ui.eventi.size(), 1u);
    EXPECT_EQ(campi.Testo(Campo::txtVersioneRevisione), revisione);
  }
  EXPECT_EQ(P(0), kProgetto);
  EXPECT_FALSE(suite.Esiste(suite.Progetto(0) + "_1"));
  EXPECT_EQ(IniGrezzo(), "");
}

TEST_F(ComandiTest, AFileThatCannotBeWrittenStopsTheCommandBeforeAnyChange) {
  // A read-only project file or generation once cost a generation per retry.
  for (const std::string& file : {suite.Progetto(1), suite.Progetto(1) + "_3"}) {
    SCOPED_TRACE(file);
    suite.Scrivi(file, kProgetto);
    suite.SolaLettura(file);
    ui = {};
    EXPECT_EQ(Clic(cmdImpostaVersione_Click), Esito::ErroreRuntime);
    EXPECT_EQ(campi.Testo(Campo::txtVersioneRevisione), "7");
    EXPECT_EQ(IniGrezzo(), "");
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(ui.puntatori.back(), 0);
    ASSERT_EQ(ui.messaggi.size(), 1u);
    EXPECT_EQ(ui.messaggi[0].testo, "Errore di run-time '70':\n\nAutorizzazione negata\n\n" + file);
    EXPECT_FALSE(suite.Esiste(suite.Progetto(0) + "_1"));
    EXPECT_FALSE(suite.Esiste(suite.Progetto(1) + "_tmp"));
    EXPECT_EQ(P(0), kProgetto);
    std::filesystem::permissions(suite.prefisso.Host(file), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  }
}

TEST_F(ComandiTest, CopiesAndGenerationsOfAReadOnlyFileCanBeWritten) {
  suite.SolaLettura(suite.Progetto(0));
  EXPECT_EQ(Clic(cmdBackup_Click), Esito::Completato);
  EXPECT_EQ(Clic(cmdBackup_Click), Esito::Completato);
  for (const char* k : {"_1", "_2"}) {
    const auto perms = std::filesystem::status(suite.prefisso.Host(suite.Progetto(0) + k)).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none) << k;
  }
}

TEST_F(ComandiTest, ApplicaSavesFirstThenRewritesWithoutFrame) {
  campi.ImpostaTesto(Campo::txtCommenti, "");
  campi.ImpostaTesto(Campo::txtCopyRight, "© 2024");
  campi.ImpostaTesto(Campo::txtNomeProdotto, "Wexo \"Suite\"");
  campi.ImpostaTesto(Campo::txtNomeSocieta, "Orbalis Società");
  ui.LogAddItem("Pronto");
  ui.eventi.clear();
  // "Commenti" is empty and the projects hold one: asked first. No leaves
  // every file as it was; Yes goes on.
  const std::string prima = P(0);
  ui.risposte = {kRispostaNo};
  EXPECT_EQ(Clic(cmdApplica_Click), Esito::Rifiutato);
  EXPECT_EQ(P(0), prima);
  EXPECT_FALSE(std::filesystem::exists(ctx.FileIni()));
  ASSERT_EQ(ui.messaggi.size(), 1u);
  EXPECT_EQ(ui.messaggi[0].testo,
            "Applica svuota in tutti i progetti i testi che oggi vi sono scritti: Commenti. Continuare?");
  EXPECT_EQ(ui.messaggi[0].stile, kStileSiNoDomanda);
  ui.messaggi.clear();
  ui.eventi.clear();
  EXPECT_EQ(Clic(cmdApplica_Click), Esito::Completato);
  EXPECT_EQ(ui.log, (std::vector<std::string>{"Pronto", "Impostazione proprietà di ALFA.VBP in corso... OK!",
                                              "Impostazione proprietà di BETA.VBP in corso... OK!"}));
  EXPECT_TRUE(ui.puntatori.empty());
  EXPECT_EQ(ui.messaggi.size(), 1u);  // the question, answered Yes
  EXPECT_EQ(std::count(ui.eventi.begin(), ui.eventi.end(), "clear"), 0);
  EXPECT_TRUE(Riga(0, "VersionComments="));
  EXPECT_TRUE(Riga(1, "VersionCompanyName=Orbalis Societ\xE0"));
  EXPECT_EQ(IniGrezzo(),
            "[Versione]\r\nCommenti=\r\nCopyRight=\xA9 2024\r\nNomeProdotto=Wexo \"Suite\"\r\n"
            "NomeSocieta=Orbalis Societ\xE0\r\n");
  EXPECT_EQ(Ini("NomeSocieta"), "Orbalis Società");
  EXPECT_FALSE(suite.Esiste(suite.Progetto(0) + "_1"));  // no backup
}

TEST_F(ComandiTest, ATextWindows1252CannotHoldIsRefusedBeforeAnythingIsWritten) {
  suite.Scrivi(suite.Progetto(0) + "_1", "generazione");
  std::ofstream(ctx.FileIni(), std::ios::binary) << "[Versione]\r\nUltimaRigaFallita=0\r\n";
  const struct {
    Gestore gestore;
    Campo campo;
    const char* etichetta;
  } kCasi[] = {
      {cmdApplica_Click, Campo::txtCommenti, "Commenti"},
      {cmdApplica_Click, Campo::txtCopyRight, "Copyright"},
      {cmdApplica_Click, Campo::txtNomeProdotto, "Nome prodotto"},
      {cmdApplica_Click, Campo::txtNomeSocieta, "Nome società"},
      {cmdChangeGuid_Click, Campo::txtGuidOld, "Vecchia guid"},
      {cmdChangeGuid_Click, Campo::txtGuidNew, "Nuova guid"},
      {mnuRiprendiCompilazione_Click, Campo::txtVersionePrincipale, "Principale"},
      {mnuRiprendiCompilazione_Click, Campo::txtVersioneRevisione, "Revisione"},
      {GestoreAnteprima("cmdApplica"), Campo::txtNomeSocieta, "Nome società"},
      {GestoreAnteprima("cmdChangeGuid"), Campo::txtGuidOld, "Vecchia guid"},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.etichetta);
    for (Campo campo : {Campo::txtCommenti, Campo::txtCopyRight, Campo::txtNomeProdotto, Campo::txtNomeSocieta})
      campi.ImpostaTesto(campo, "Orbalis Società ©");
    campi.ImpostaTesto(Campo::txtGuidOld, "{AAAA}");
    campi.ImpostaTesto(Campo::txtGuidNew, "{BBBB}");
    campi.ImpostaTesto(Campo::txtVersionePrincipale, "2");
    campi.ImpostaTesto(Campo::txtVersioneRevisione, "7");
    campi.ImpostaTesto(c.campo, campi.Testo(c.campo) + " ☃ Ω ☃");
    ui = {};
    bool mostrata = false;
    ctx.mostraAnteprima = [&](const std::string&) { mostrata = true; };
    EXPECT_EQ(Clic(c.gestore), Esito::Rifiutato);
    Messaggio1(std::string("Il testo di \"") + c.etichetta +
                   "\" contiene caratteri che i file di progetto e le impostazioni non possono contenere (codifica "
                   "Windows-1252): \"☃Ω\"\n\nNessun file è stato modificato: correggere il testo e riprovare.",
               48);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_FALSE(mostrata);
  }
  EXPECT_EQ(P(0), kProgetto);
  EXPECT_EQ(P(1), kProgetto);
  EXPECT_EQ(suite.Leggi(suite.Progetto(0) + "_1"), "generazione");
  EXPECT_EQ(IniGrezzo(), "[Versione]\r\nUltimaRigaFallita=0\r\n");
}

// A text the settings would give back cut is refused, never written cut:
// the limit counts Windows-1252 bytes, so "à" counts one.
TEST_F(ComandiTest, ApplicaRefusesATextTheSettingsWouldGiveBackCut) {
  for (const auto& [campo, etichetta] :
       {std::pair{Campo::txtCommenti, "Commenti"}, std::pair{Campo::txtNomeSocieta, "Nome società"}}) {
    for (const size_t lunghezza : {size_t{254}, size_t{255}, size_t{100000}}) {
      SCOPED_TRACE(std::string(etichetta) + " " + std::to_string(lunghezza));
      std::string testo;
      for (size_t i = 0; i < lunghezza; ++i) testo += "à";
      campi.ImpostaTesto(campo, testo);
      ui = {};
      const std::string prima = P(1);
      const bool entro = lunghezza <= 254;
      EXPECT_EQ(Clic(cmdApplica_Click), entro ? Esito::Completato : Esito::Rifiutato);
      if (entro) continue;
      Messaggio1(std::string("Il testo di \"") + etichetta +
                     "\" è più lungo di 254 caratteri, il massimo che le impostazioni restituiscono intero.\n\n"
                     "Nessun file è stato modificato: accorciare il testo e riprovare.",
                 48);
      EXPECT_EQ(P(1), prima);
    }
    campi.ImpostaTesto(campo, "");
  }
}

TEST_F(ComandiTest, ApplicaWithAMissingProjectFileChangesNothing) {
  campi.ImpostaTesto(Campo::txtCommenti, "nuovo");
  std::filesystem::remove(suite.prefisso.Host(suite.Progetto(0)));
  EXPECT_EQ(Clic(cmdApplica_Click), Esito::ErroreRuntime);
  EXPECT_EQ(Ini("Commenti"), "<assente>");
  EXPECT_TRUE(ui.log.empty());
  EXPECT_EQ(P(1), kProgetto);
}

TEST_F(ComandiTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheCommandStillRuns) {
  const struct {
    Gestore gestore;
    const char* riga;      // a line the command still writes into the project files
    const char* chiusura;  // the frame's closing message, after the warning
  } kCasi[] = {
      {cmdImpostaVersione_Click, "MajorVer=2", "Backup e impostazione versione effettuate"},
      {cmdApplica_Click, "VersionComments=nuovo", nullptr},
  };
  for (const bool cartella : {false, true}) {
    for (const auto& c : kCasi) {
      SetUp();
      ui.messaggi.clear();
      campi.ImpostaTesto(Campo::txtCommenti, "nuovo");
      campi.ImpostaTesto(Campo::txtNomeSocieta, "S");  // as the projects hold it: nothing to ask
      const std::string ini = ctx.FileIni();
      std::filesystem::remove_all(ini);
      if (cartella) {
        std::filesystem::create_directory(ini);
      } else {
        std::ofstream(ini) << "[Versione]\r\nRevisione=7\r\n";
        std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
      }
      EXPECT_EQ(Clic(c.gestore), Esito::Fallito) << c.riga;
      ASSERT_FALSE(ui.messaggi.empty());
      EXPECT_EQ(ui.messaggi[0].testo, "Impossibile salvare le impostazioni in '" + ini + "'");
      EXPECT_EQ(ui.messaggi[0].stile, 48);
      EXPECT_EQ(ui.messaggi.size(), c.chiusura ? 2u : 1u);
      if (c.chiusura && ui.messaggi.size() == 2) {
        EXPECT_EQ(ui.messaggi[1].testo, c.chiusura);
      }
      EXPECT_TRUE(Riga(1, c.riga)) << c.riga;
      if (!cartella) {
        EXPECT_EQ(Ini("Revisione"), "7");
      }
      std::filesystem::permissions(ini, std::filesystem::perms::owner_all);
    }
  }
}

TEST_F(ComandiTest, SostituisciBacksUpAlwaysAndReplacesOnlyWithBothFields) {
  const std::string a = "{AAAAAAAA-0000-0000-0000-000000000000}", b = "{BBBBBBBB-0000-0000-0000-000000000000}";
  for (std::size_t i = 0; i < suite.righe.size(); ++i) suite.Scrivi(suite.Progetto(i), "Object=" + a + "#1.0#0\n");
  suite.Scrivi(suite.InCartella(0, "Form\\f.frm"), "Object = \"" + a + "#1.0#0\"; \"A.ocx\"\n");
  suite.Scrivi(suite.InCartella(0, "Form\\g.frm"), "nessuna\r\n");
  const struct {
    std::string vecchio, nuovo;
    const char* riga;  // the log's line after the backup's, before "Pronto"
  } kCasi[] = {
      {"", "", "Guid non sostituita: \"Vecchia guid\" o \"Nuova guid\" è vuota, fatto solo il backup"},
      {a, "", "Guid non sostituita: \"Vecchia guid\" o \"Nuova guid\" è vuota, fatto solo il backup"},
      {"", b, "Guid non sostituita: \"Vecchia guid\" o \"Nuova guid\" è vuota, fatto solo il backup"},
      // Letter case counts, as ever: found nowhere, and said.
      {"{aaaaaaaa-0000-0000-0000-000000000000}", b,
       "Vecchia guid non trovata in nessun file di progetto o form: nessun file modificato"},
      {a, b, "Guid sostituita in 2 file di progetto e 1 file form"},
      {b, a.substr(1, 36), nullptr},  // braces on one side only: refused
      {b.substr(1, 36), a.substr(1, 36), "Guid sostituita in 2 file di progetto e 1 file form"},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.vecchio + " " + c.nuovo);
    campi.ImpostaTesto(Campo::txtGuidOld, c.vecchio);
    campi.ImpostaTesto(Campo::txtGuidNew, c.nuovo);
    ui = {};
    EXPECT_EQ(Clic(cmdChangeGuid_Click), c.riga ? Esito::Completato : Esito::Rifiutato);
    if (c.riga) {
      EXPECT_EQ(ui.log, Piu(Backup(), {c.riga, "Pronto"}));
      EXPECT_TRUE(ui.messaggi.empty());
      EXPECT_EQ(ui.eventi.front(), "pointer:13");
      EXPECT_EQ(ui.eventi.back(), "pointer:0");
    } else {
      Messaggio1(
          "\"Vecchia guid\" e \"Nuova guid\" vanno scritte entrambe con le graffe o entrambe senza: il "
          "testo trovato è sostituito così come è scritto.\n\nNessun file è stato modificato: correggere il "
          "testo e riprovare.",
          48);
    }
  }
  EXPECT_EQ(P(1), "Object=" + a + "#1.0#0\r\n");  // back, braces kept
  EXPECT_EQ(suite.Leggi(suite.InCartella(0, "Form\\f.frm")), "Object = \"" + a + "#1.0#0\"; \"A.ocx\"\r\n");
  EXPECT_EQ(campi.Testo(Campo::txtGuidOld), b.substr(1, 36));
}

// Not a GUID: refused before anything is read, even the backup.
TEST_F(ComandiTest, SostituisciRefusesATextThatIsNoGuid) {
  for (const char* testo : {"pippo", "{AAAA}", "AAAAAAAA-0000-0000-0000-00000000000G",
                            "{AAAAAAAA-0000-0000-0000-000000000000", "AAAAAAAA-0000-0000-0000-000000000000}",
                            " AAAAAAAA-0000-0000-0000-000000000000", "AAAAAAAA0000-0000-0000-0000000000000"}) {
    SCOPED_TRACE(testo);
    campi.ImpostaTesto(Campo::txtGuidOld, "{AAAAAAAA-0000-0000-0000-000000000000}");
    campi.ImpostaTesto(Campo::txtGuidNew, testo);
    ui = {};
    EXPECT_EQ(Clic(cmdChangeGuid_Click), Esito::Rifiutato);
    Messaggio1(std::string("Il testo di \"Nuova guid\" non è una guid nella forma "
                           "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} (cifre esadecimali, graffe facoltative): \"") +
                   testo + "\"\n\nNessun file è stato modificato: correggere il testo e riprovare.",
               48);
    EXPECT_TRUE(ui.log.empty());
  }
  EXPECT_FALSE(suite.Esiste(suite.Progetto(0) + "_1"));
}

TEST_F(ComandiTest, AMissingProjectFileStopsTheCommandBeforeItsFirstRow) {
  const std::filesystem::path host = suite.prefisso.Host(suite.Progetto(1));
  const struct {
    void (*metti)(const std::filesystem::path&);
    const char* errore;
  } kCasi[] = {
      {[](const std::filesystem::path&) {}, "53':\n\nImpossibile trovare il file"},
      {[](const std::filesystem::path& h) { std::filesystem::create_directory(h); },
       "75':\n\nErrore di accesso al percorso/file"},
#ifndef _WIN32
      {[](const std::filesystem::path& h) { ASSERT_EQ(::mkfifo(h.c_str(), 0644), 0); },
       "75':\n\nErrore di accesso al percorso/file"},
#endif
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.errore);
    std::filesystem::remove(host);
    c.metti(host);
    ui = {};
    EXPECT_EQ(Clic(cmdBackupCompatibilita_Click), Esito::ErroreRuntime);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(P(0), kProgetto);
    EXPECT_FALSE(suite.Esiste(suite.Progetto(0) + "_1"));
    ASSERT_EQ(ui.messaggi.size(), 1u);
    EXPECT_EQ(ui.messaggi[0].testo, std::string("Errore di run-time '") + c.errore + "\n\n" + suite.Progetto(1));
  }
}

// An empty project file (what a power cut during a rewrite could leave) is
// no project: every command that reads the suite stops at it before any
// change, and names the newest generation that still holds content.
TEST_F(ComandiTest, AnEmptyProjectFileIsRefusedByEveryCommandThatReadsTheSuite) {
  const std::string p = suite.Progetto(1);
  suite.Scrivi(p, "");
  suite.Scrivi(p + "_1", "");
  suite.Scrivi(p + "_2", kProgetto);
  ASSERT_TRUE(ScriviIniStringa(test::ProfiloDiProva(), ctx.FileIni(), kSezioneVersione, kChiaveUltimaRigaFallita,
                               "1"));  // to resume
  const std::set<std::string> kEccetto = {"cmdRegistra", "cmdRimuovi", "mnuRipristina"};
  for (const VoceComando& v : TabellaComandi()) {
    if (kEccetto.contains(v.nome)) continue;
    SCOPED_TRACE(v.nome);
    ui = {};
    const auto prima = test::Albero(suite.prefisso.Dir());
    EXPECT_EQ(Clic(v.gestore), Esito::Rifiutato);
    ASSERT_FALSE(ui.messaggi.empty());
    EXPECT_EQ(ui.messaggi.back().testo, "Il file di progetto è vuoto; nessun file è stato modificato:\n\n" + p +
                                            "\n\nLa copia di backup più recente non vuota è:\n\n" + p + "_2");
    EXPECT_EQ(ui.messaggi.back().stile, kStileEsclamativo);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(test::Albero(suite.prefisso.Dir()), prima);
  }
}

// While a copy is left anywhere in the suite, each command that reads or
// writes the suite stops before it touches anything, whatever files it
// would itself rewrite; only the recovery and the registration, which reads
// the built components, still run.
TEST_F(ComandiTest, EveryCommandButRecoveryAndRegistrationRefusesWhileAFormCopyIsLeft) {
  const std::string copia = suite.InCartella(0, "Form\\frmA.frm_tmp");
  suite.Scrivi(suite.InCartella(0, "Form\\frmA.frm"), "");  // a kill while writing
  suite.Scrivi(copia, "VERSION 5.00\r\n");
  // Not a file, and a copy all the same: nothing of that name goes unseen.
  const std::string cartella = suite.Progetto(1) + "_tmp";
  std::filesystem::create_directory(suite.prefisso.Host(cartella));
  ASSERT_TRUE(ScriviIniStringa(test::ProfiloDiProva(), ctx.FileIni(), kSezioneVersione, kChiaveUltimaRigaFallita,
                               "1"));  // to resume
  const std::set<std::string> kEccetto = {"cmdRegistra", "cmdRimuovi", "mnuRipristina"};
  for (const VoceComando& v : TabellaComandi()) {
    if (kEccetto.contains(v.nome)) continue;
    SCOPED_TRACE(v.nome);
    ui = {};
    const auto prima = test::Albero(suite.prefisso.Dir());
    EXPECT_EQ(Clic(v.gestore), Esito::Rifiutato);
    ASSERT_FALSE(ui.messaggi.empty());
    EXPECT_TRUE(ui.messaggi.back().testo.starts_with("Sono rimaste copie")) << ui.messaggi.back().testo;
    EXPECT_NE(ui.messaggi.back().testo.find(copia), std::string::npos);
    EXPECT_NE(ui.messaggi.back().testo.find(cartella), std::string::npos);
    EXPECT_EQ(ui.messaggi.back().stile, kStileEsclamativo);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(test::Albero(suite.prefisso.Dir()), prima);
  }
}

// "Ripristina file interrotti" loses nothing: a file that holds something
// other than its copy is renamed aside first, under a name that was free,
// and an empty copy beside a file that is not stops it before any change.
TEST_F(ComandiTest, RipristinaKeepsWhatItReplacesAndRefusesAnEmptyCopy) {
  const std::string p = suite.Progetto(0), f = suite.InCartella(0, "Form\\frmA.frm");
  const std::string kRestati =
      "File interrotti ripristinati: 1\n\nContenuti sostituiti conservati con il suffisso "
      "\"_interrotto\": 1";
  using File = std::map<std::string, std::optional<std::string>>;
  // A copy that is not a plain file, made before the run and still there after it.
  struct NonFile {
    std::string percorso;
    TipoVoce tipo = TipoVoce::Nessuna;
  };
  const std::string fuori = (suite.prefisso.Dir() / "fuori.vbp").string();
  const struct {
    const char* nome;
    File prima, dopo;  // nullopt: no such file
    Esito esito;
    std::vector<std::string> log, nelMessaggio;
    NonFile nonFile = {};
  } kCasi[] = {
      {"project file edited after the interruption",
       {{p, "edited"}, {p + "_tmp", "old"}},
       {{p, "old"}, {p + "_tmp", {}}, {p + "_interrotto", "edited"}},
       Esito::Completato,
       {"Ripristino di ALFA.VBP in corso... OK! Il contenuto sostituito è in " + p + "_interrotto"},
       {kRestati}},
      {"earlier kept files stay",
       {{p, "edited"}, {p + "_tmp", "old"}, {p + "_interrotto", "1"}, {p + "_interrotto2", "2"}},
       {{p, "old"}, {p + "_interrotto", "1"}, {p + "_interrotto2", "2"}, {p + "_interrotto3", "edited"}},
       Esito::Completato,
       {"Ripristino di ALFA.VBP in corso... OK! Il contenuto sostituito è in " + p + "_interrotto3"},
       {kRestati}},
      {"form file half written",
       {{f, "VERSION"}, {f + "_tmp", "VERSION 5.00\r\n"}},
       {{f, "VERSION 5.00\r\n"}, {f + "_tmp", {}}, {f + "_interrotto", "VERSION"}},
       Esito::Completato,
       {"Ripristino di FRMA.FRM in corso... OK! Il contenuto sostituito è in " + f + "_interrotto"},
       {kRestati}},
      {"empty copy beside a whole file",
       {{p, "whole"}, {p + "_tmp", ""}, {f, "half"}, {f + "_tmp", "old"}},
       {{p, "whole"}, {p + "_tmp", ""}, {p + "_interrotto", {}}, {f, "half"}, {f + "_tmp", "old"}},
       Esito::Rifiutato,
       {},
       {"\n\n" + p + "_tmp\n" + p}},
      {"a folder as a form's copy is left, the plain copy beside it put back",
       {{p, "old"}, {p + "_tmp", "old"}, {f, "half"}},
       {{p, "old"}, {p + "_tmp", {}}, {f, "half"}},
       Esito::Fallito,
       {"Ripristino di ALFA.VBP in corso... OK!"},
       {"File interrotti ripristinati: 1\n\nCopie \"_tmp\" lasciate dove sono perché non sono file; controllarle e "
        "toglierle a mano: 1\n" +
        f + "_tmp (cartella)"},
       {f + "_tmp", TipoVoce::Cartella}},
#ifndef _WIN32
      {"a link to a file outside the suite is never renamed over the project file",
       {{p, "whole"}},
       {{p, "whole"}},
       Esito::Fallito,
       {},
       {"File interrotti ripristinati: 0", "\n" + p + "_tmp (collegamento)"},
       {p + "_tmp", TipoVoce::Collegamento}},
      {"a FIFO is never read",
       {{p, "whole"}},
       {{p, "whole"}},
       Esito::Fallito,
       {},
       {"\n" + p + "_tmp"},
       {p + "_tmp", TipoVoce::Altro}},
#endif
  };
  std::ofstream(fuori, std::ios::binary) << "outside";
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.nome);
    for (const File* file : {&c.prima, &c.dopo})
      for (const auto& [percorso, byte] : *file) std::filesystem::remove(suite.prefisso.Host(percorso));
    for (const auto& [percorso, byte] : c.prima) suite.Scrivi(percorso, *byte);
    const std::filesystem::path nonFile = c.nonFile.percorso.empty() ? "" : suite.prefisso.Host(c.nonFile.percorso);
    if (!nonFile.empty()) std::filesystem::remove(nonFile);
    if (c.nonFile.tipo == TipoVoce::Cartella) std::filesystem::create_directory(nonFile);
#ifndef _WIN32
    if (c.nonFile.tipo == TipoVoce::Collegamento) std::filesystem::create_symlink(fuori, nonFile);
    if (c.nonFile.tipo == TipoVoce::Altro) {
      ASSERT_EQ(::mkfifo(nonFile.c_str(), 0600), 0);
    }
#endif
    ui = {};
    EXPECT_EQ(Clic(mnuRipristina_Click), c.esito);
    if (!nonFile.empty()) {
      EXPECT_EQ(ctx.fso.Tipo(c.nonFile.percorso), c.nonFile.tipo);
      std::filesystem::remove(nonFile);
    }
    std::ifstream letto(fuori, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(letto), {}), "outside");
    for (const auto& [percorso, byte] : c.dopo) {
      EXPECT_EQ(suite.Esiste(percorso), byte.has_value()) << percorso;
      if (byte && suite.Esiste(percorso)) {
        EXPECT_EQ(suite.Leggi(percorso), *byte) << percorso;
      }
    }
    EXPECT_EQ(ui.log, c.log);
    ASSERT_EQ(ui.messaggi.size(), 1u);
    EXPECT_EQ(ui.messaggi[0].stile, c.esito == Esito::Completato ? kStileInformativo : kStileEsclamativo);
    for (const std::string& testo : c.nelMessaggio)
      EXPECT_NE(ui.messaggi[0].testo.find(testo), std::string::npos) << ui.messaggi[0].testo;
  }
}

}  // namespace
}  // namespace cw
