#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "build/compila.h"
#include "build/tutto.h"
#include "commands/comandi.h"
#include "settings/modFileIni.h"
#include "support/compila_finti.h"
#include "support/contesto_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::SuiteCompilazione;

const char* const kDomanda1 = "Sei sicuro di voler compliare senza nessuna compatibilià?";
const char* const kDomanda2 =
    "Sei proprio sicuro, potrebbe succedere del casino. Ti sei ricordato di rimuovere tutto dal registro?";
const char* const kRifiuto = "Backup, impostazione compatibilità e compilazione non effettuate";
const char* const kFatto = "Backup, impostazione compatibilità e compilazione effettuate";
const char* const kFallita =
    "Compilazione di SERVER.VBP fallita: esecuzione non completata, nessuna copia nelle cartelle di distribuzione e "
    "nessuna registrazione";

struct Click {
  Click() : s({{"Base"}, {"Server", "exe"}, {"App1", "app"}, {"App2", "app"}, {"App3", "app"}, {"App4", "app"}}) {
    s.ScriviProgetti();
    std::filesystem::create_directories(s.prefisso.Host("D:\\WexoApp"));
    std::filesystem::create_directories(s.prefisso.Host("D:\\QuilApp"));
    campi.ImpostaTesto(Campo::txtVersionePrincipale, "2");
    campi.ImpostaTesto(Campo::txtVersioneSecondario, "1");
    campi.ImpostaTesto(Campo::txtVersioneRevisione, "7");
    campi.ImpostaIncrementoAutomatico(1);
    ctx.fileIni = [this] { return (s.prefisso.Dir() / "WexoUty.ini").string(); };
    // The viewer and the registrations show up among the window's events.
    s.alVisualizzatore = [this](const std::string&) { ui.eventi.push_back("viewer"); };
    reg.alChiamare = [this] { ui.eventi.push_back("registra:" + reg.chiamate.back().percorso); };
  }
  Esito Esegui() { return EseguiComando(ctx, &cmdTutto_Click); }
  std::vector<std::string> Testi() const {
    std::vector<std::string> t;
    for (const auto& m : ui.messaggi) t.push_back(m.testo + "|" + std::to_string(m.stile) + "|" + m.titolo);
    return t;
  }

  SuiteCompilazione s;
  test::UiRegistrata ui;
  CampiInMemoria campi;
  test::RegistratoreFinto reg;
  Contesto ctx = test::ContestoDiProva(s.fso, s.catalogo, ui, campi, {.processi = &s.processi, .registratore = &reg});
};

std::string M(const std::string& testo, int stile) { return testo + "|" + std::to_string(stile) + "|CompilaWexo"; }

TEST(CmdTutto, IsInTheCommandTable) {
  const auto& t = TabellaComandi();
  EXPECT_TRUE(std::any_of(t.begin(), t.end(), [](const VoceComando& v) {
    return std::string(v.nome) == "cmdTutto" && v.gestore == &cmdTutto_Click;
  }));
}

TEST(CmdTutto, NessunaRefusedAtEitherQuestionChangesNoFile) {
  struct Caso {
    std::deque<int> risposte;
    std::vector<std::string> messaggi;
  };
  const std::vector<Caso> casi = {
      {{kRispostaAnnulla}, {M(kDomanda1, 33), M(kRifiuto, 48)}},
      {{0}, {M(kDomanda1, 33), M(kRifiuto, 48)}},  // the box closed without an answer
      {{kRispostaOk, kRispostaNo}, {M(kDomanda1, 33), M(kDomanda2, 36), M(kRifiuto, 48)}},
  };
  for (const auto& c : casi) {
    Click k;
    k.s.prefisso.Scrivi(kFileErroriCompilazione, "old report");
    k.ui.log = {"riga di prima"};
    k.campi.SelezionaOpzione(Compatibilita::Nessuna);
    k.ui.risposte = c.risposte;
    const auto prima = test::Albero(k.s.prefisso.Dir());
    EXPECT_EQ(k.Esegui(), Esito::Rifiutato);
    EXPECT_EQ(k.Testi(), c.messaggi);
    EXPECT_EQ(test::Albero(k.s.prefisso.Dir()), prima);  // no backup, no project, no settings, no copy
    EXPECT_EQ(k.ui.puntatori, (std::vector<int>{0}));
    EXPECT_EQ(k.ui.log, (std::vector<std::string>{"riga di prima"}));
    EXPECT_TRUE(k.s.processi.avvii.empty());
    EXPECT_TRUE(k.reg.chiamate.empty());
    EXPECT_EQ(k.campi.Testo(Campo::txtVersioneRevisione), "7");
  }
}

TEST(CmdTutto, NessunaAcceptedRunsLikeTheOthers) {
  Click k;
  k.campi.SelezionaOpzione(Compatibilita::Nessuna);
  k.ui.risposte = {kRispostaOk, kRispostaSi};
  EXPECT_EQ(k.Esegui(), Esito::Completato);
  EXPECT_EQ(k.Testi(), (std::vector<std::string>{M(kDomanda1, 33), M(kDomanda2, 36), M(kFatto, 64)}));
  EXPECT_NE(k.s.prefisso.Leggi("C:\\Progetti VB\\Wexo\\Server\\Server.vbp").find("CompatibleMode=\"0\""),
            std::string::npos);
  EXPECT_EQ(k.s.costruiti.size(), 6u);
  EXPECT_EQ(k.ui.log.back(), "Pronto");
}

TEST(CmdTutto, ProjectAndBinaryAskNothing) {
  for (auto opzione : {Compatibilita::Progetto, Compatibilita::Binaria}) {
    Click k;
    k.campi.SelezionaOpzione(opzione);
    k.ui.risposte = {kRispostaAnnulla, kRispostaNo};  // would refuse, if anything were asked
    EXPECT_EQ(k.Esegui(), Esito::Completato);
    EXPECT_EQ(k.Testi(), (std::vector<std::string>{M(kFatto, 64)}));
  }
}

TEST(CmdTutto, ARevisionTheIncrementCannotHoldIsRefusedFirst) {
  for (const char* revisione : {"32767", "32767.4", "32767.5", "40000", "-32769", "abc", "", "1,5"}) {
    Click k;
    k.campi.SelezionaOpzione(Compatibilita::Nessuna);  // refused before any question
    k.campi.ImpostaTesto(Campo::txtVersioneRevisione, revisione);
    const auto prima = test::Albero(k.s.prefisso.Dir());
    EXPECT_EQ(k.Esegui(), Esito::Rifiutato) << revisione;
    EXPECT_EQ(k.Testi(), (std::vector<std::string>{M("Versione revisione non valida", 48)})) << revisione;
    EXPECT_EQ(test::Albero(k.s.prefisso.Dir()), prima);
    EXPECT_TRUE(k.ui.puntatori.empty());
  }
  // The edges that still pass, with and without the increment.
  for (auto [revisione, incremento] : {std::pair{"9998", 1}, std::pair{"9999", 0}, std::pair{"0009", 2}}) {
    Click k;
    k.campi.ImpostaTesto(Campo::txtVersioneRevisione, revisione);
    k.campi.ImpostaIncrementoAutomatico(incremento);
    EXPECT_EQ(k.Esegui(), Esito::Completato) << revisione;
  }
  Click k;
  k.campi.ImpostaTesto(Campo::txtVersioneRevisione, "9998");
  k.Esegui();
  EXPECT_EQ(k.campi.Testo(Campo::txtVersioneRevisione), "9999");
}

// Every message, log line, pointer, the viewer and the registrations, in order.
TEST(CmdTutto, TheOrderOfEverything) {
  Click k;
  EXPECT_EQ(k.Esegui(), Esito::Completato);
  std::vector<std::string> visti;
  for (const auto& e : k.ui.eventi)
    if (e.rfind("set:", 0) != 0 && e != "select:" && e.rfind("select:", 0) != 0 && e != "refresh" && e != "doevents")
      visti.push_back(e);
  const std::vector<std::string> nomi = {"BASE.VBP", "SERVER.VBP", "APP1.VBP", "APP2.VBP", "APP3.VBP", "APP4.VBP"};
  std::vector<std::string> attesi = {"pointer:11", "clear", "font:Tahoma"};
  for (const auto& n : nomi) attesi.push_back("add:Backup di " + n + " in corso...");
  for (const auto& n : nomi) attesi.push_back("add:Impostazione versione di " + n + " in corso...");
  for (int i = 0; i < 2; ++i) attesi.push_back("add:Impostazione compatibilità di " + nomi[i] + " in corso...");
  for (int i = 0; i < 6; ++i)
    attesi.push_back("add:" + std::to_string(i) + ") Compilazione " + nomi[i] + " in corso...");
  for (const char* e : {"pointer:0", "msg:CompilaWexo:Backup, impostazione compatibilità e compilazione effettuate",
                        "viewer", "pointer:13", "registra:C:\\Orbalis\\Componenti\\Base.dll",
                        "registra:D:\\QuilApp\\Base.dll", "add:Pronto", "pointer:0"})
    attesi.push_back(e);
  EXPECT_EQ(visti, attesi);
  EXPECT_EQ(k.ui.log.back(), "Pronto");
  EXPECT_EQ(k.ui.selezionata, k.ui.LogCount() - 1);
  EXPECT_EQ(k.ui.eventi.back(), "pointer:0");
  EXPECT_EQ(k.ui.log[19], "5) Compilazione APP4.VBP in corso... OK!");
  // The settings are written by then, the copies made.
  EXPECT_NE(k.s.prefisso.Leggi("D:\\QuilApp\\Base.dll").find("built"), std::string::npos);
}

TEST(CmdTutto, AFailedBuildEndsWithPronto) {
  Click k;
  k.s.fallite = {"C:\\Progetti VB\\Wexo\\Server\\Server.vbp"};
  for (const char* nome : {"App1.exe", "App2.exe", "App3.exe", "App4.exe"})
    k.s.prefisso.Scrivi(std::string("C:\\Orbalis\\Componenti\\") + nome, "earlier");
  EXPECT_EQ(k.Esegui(), Esito::Fallito);
  ASSERT_GE(k.ui.log.size(), 2u);
  EXPECT_EQ(k.ui.log[k.ui.log.size() - 2], "1) Compilazione SERVER.VBP in corso... ERRORE!");
  EXPECT_EQ(k.ui.log.back(), "Pronto");
  EXPECT_EQ(k.Testi(), (std::vector<std::string>{M(kFallita, 48)}));
  EXPECT_TRUE(k.reg.chiamate.empty());
}

TEST(CmdTutto, ASettingsFileThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
  Click k;
  const std::string ini = k.ctx.FileIni();
  std::filesystem::create_directories(ini);
  EXPECT_EQ(k.Esegui(), Esito::Fallito);
  EXPECT_EQ(k.Testi(),
            (std::vector<std::string>{M(kFatto, 64), M("Impossibile salvare le impostazioni in '" + ini + "'", 48)}));
  EXPECT_EQ(k.reg.chiamate.size(), 2u);  // copies and registration still done
  EXPECT_EQ(k.ui.log.back(), "Pronto");
}

// A report that could not be kept (its writer has said why) ends the run as
// failed, after every step.
TEST(CmdTutto, AReportNotWrittenEndsTheRunAsFailed) {
  for (const bool scritto : {true, false}) {
    SCOPED_TRACE(scritto);
    Click k;
    int rapporti = 0;
    k.ctx.rapportoJUnit = [&](const std::string&) {
      ++rapporti;
      return scritto;
    };
    EXPECT_EQ(k.Esegui(), scritto ? Esito::Completato : Esito::Fallito);
    EXPECT_EQ(rapporti, 1);
    EXPECT_EQ(k.reg.chiamate.size(), 2u);
    EXPECT_EQ(k.ui.log.back(), "Pronto");
  }
}

TEST(CmdTutto, ARunTimeErrorStopsTheRunWhereItStruck) {
  Click k;
  k.s.processi.nonAvviabile = true;
  // A row an earlier run failed at, later than where this one stops: a
  // resume from there would skip the rows between.
  test::ScriviFile(k.s.prefisso.Dir() / "WexoUty.ini", "[Versione]\r\nUltimaRigaFallita=2\r\n");
  EXPECT_EQ(k.Esegui(), Esito::ErroreRuntime);
  EXPECT_EQ(k.ui.log.back(), "0) Compilazione BASE.VBP in corso...");
  EXPECT_EQ(k.Testi(), (std::vector<std::string>{M("Errore di run-time '53':\n\nImpossibile trovare il file", 16)}));
  EXPECT_EQ(k.ui.puntatore, 0);
  // Only the row it stopped at is stored, for the resume, in place of the
  // earlier one; no version.
  EXPECT_EQ(test::LeggiFile(k.s.prefisso.Dir() / "WexoUty.ini").find("Revisione"), std::string::npos);
  EXPECT_NE(test::LeggiFile(k.s.prefisso.Dir() / "WexoUty.ini").find("UltimaRigaFallita=0"), std::string::npos);
  EXPECT_EQ(k.campi.Testo(Campo::txtVersioneRevisione), "7");
  EXPECT_TRUE(k.reg.chiamate.empty());
}

// A failed run remembers its row; "Riprendi compilazione" builds from there to
// the end, writes no project file, does not advance the revision again, and
// forgets the row once everything is built. Both runs' JUnit reports follow.
TEST(RiprendiCompilazione, ResumesAtTheFailedRowAndForgetsIt) {
  Click k;
  std::string xml;
  k.ctx.rapportoJUnit = [&](const std::string& x) {
    xml = x;
    return true;
  };
  auto progetti = [&] {
    std::vector<std::string> p;
    for (int i = 0; i <= k.s.catalogo.UBound(); ++i)
      p.push_back(k.s.prefisso.Leggi(k.s.catalogo.FileProgettoCompleto(i)));
    return p;
  };
  auto ultima = [&] {
    return LeggiIniStringa(test::ProfiloDiProva(), k.ctx.FileIni(), kSezioneVersione, kChiaveUltimaRigaFallita, "-",
                           255);
  };
  for (const char* nome : {"App1.exe", "App2.exe", "App3.exe", "App4.exe"})
    k.s.prefisso.Scrivi(std::string("C:\\Orbalis\\Componenti\\") + nome, "earlier");
  k.s.fallite = {"C:\\Progetti VB\\Wexo\\Server\\Server.vbp"};
  ASSERT_EQ(k.Esegui(), Esito::Fallito);
  EXPECT_EQ(ultima(), "1");
  EXPECT_EQ(k.campi.Testo(Campo::txtVersioneRevisione), "8");
  EXPECT_NE(xml.find("tests=\"6\" failures=\"1\" errors=\"0\" skipped=\"4\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("name=\"Server.vbp\" time=\""), std::string::npos);
  EXPECT_NE(xml.find("<failure message=\"Compilazione non riuscita\">Impossibile trovare il file"), std::string::npos);

  const auto primaDellaRipresa = progetti();
  k.s.fallite.clear();
  k.s.costruiti.clear();
  k.ui.messaggi.clear();
  ASSERT_EQ(EseguiComando(k.ctx, &mnuRiprendiCompilazione_Click), Esito::Completato);
  EXPECT_EQ(k.s.costruiti.size(), 5u);
  EXPECT_EQ(k.s.costruiti.front(), "C:\\Progetti VB\\Wexo\\Server\\Server.vbp");
  EXPECT_EQ(k.ui.log.front(),
            "1) Compilazione SERVER.VBP in corso... OK!");  // no backup, version or compatibility lines
  EXPECT_EQ(k.ui.log.back(), "Pronto");
  EXPECT_EQ(progetti(), primaDellaRipresa);
  EXPECT_EQ(k.campi.Testo(Campo::txtVersioneRevisione), "8");
  EXPECT_EQ(ultima(), "-");
  // No question, even for the skipped ones; and no claim of a backup or a compatibility it did not make.
  EXPECT_EQ(k.Testi(), (std::vector<std::string>{M("Compilazione ripresa da SERVER.VBP effettuata", 64)}));
  EXPECT_NE(xml.find("tests=\"6\" failures=\"0\" errors=\"0\" skipped=\"1\""), std::string::npos) << xml;

  k.ui.messaggi.clear();
  EXPECT_EQ(EseguiComando(k.ctx, &mnuRiprendiCompilazione_Click), Esito::Rifiutato);
  EXPECT_EQ(k.Testi(), (std::vector<std::string>{M("Nessuna compilazione da riprendere", 64)}));
}

TEST(RiprendiCompilazione, NothingToResumeUnlessTheStoredRowIsOneOfTheCatalogue) {
  for (const std::string valore : {"", "abc", "6", "-1", "1x"}) {
    SCOPED_TRACE(valore);
    Click k;
    if (!valore.empty())
      ScriviIniStringa(test::ProfiloDiProva(), k.ctx.FileIni(), kSezioneVersione, kChiaveUltimaRigaFallita, valore);
    k.ui.log = {"riga di prima"};
    EXPECT_EQ(EseguiComando(k.ctx, &mnuRiprendiCompilazione_Click), Esito::Rifiutato);
    EXPECT_EQ(k.Testi(), (std::vector<std::string>{M("Nessuna compilazione da riprendere", 64)}));
    EXPECT_EQ(k.ui.log, (std::vector<std::string>{"riga di prima"}));
    EXPECT_TRUE(k.s.processi.avvii.empty());
  }
}

// A window loaded revision 5; another instance (the batch mode) then saved 8.
TEST(VersioneVista, ASettingsFileChangedSinceTheWindowReadItIsAskedAbout) {
  const std::string kBase = "C:\\Progetti VB\\Wexo\\Base\\Base.vbp";
  const struct {
    Gestore gestore;
    bool altra;            // the other instance saved revision 8
    const char* digitata;  // what the user typed into the revision field; nullptr: as loaded
    bool finestra;         // the context remembers what the window loaded
    int risposta;          // to the question, when asked
    bool domanda;          // asked
    const char* stampata;  // the projects' revision after the click
    const char* salvata;   // the settings' revision after the click
  } kCasi[] = {
      {&cmdTutto_Click, true, nullptr, true, kRispostaSi, true, "8", "9"},
      {&cmdTutto_Click, true, nullptr, true, kRispostaNo, true, "5", "6"},
      {&cmdImpostaVersione_Click, true, nullptr, true, kRispostaSi, true, "8", "9"},
      {&cmdImpostaVersione_Click, true, nullptr, true, kRispostaNo, true, "5", "6"},
      // The resumed run stamps nothing; it saves the fields, unincremented.
      {&mnuRiprendiCompilazione_Click, true, nullptr, true, kRispostaSi, true, "0", "8"},
      {&mnuRiprendiCompilazione_Click, true, nullptr, true, kRispostaNo, true, "0", "5"},
      {&cmdTutto_Click, false, nullptr, true, kRispostaNo, false, "5", "6"},
      {&cmdTutto_Click, true, "8", true, kRispostaNo, false, "8", "9"},       // the fields show what was saved
      {&cmdTutto_Click, true, nullptr, false, kRispostaNo, false, "5", "6"},  // the batch mode
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(std::string(c.stampata) + "/" + c.salvata + (c.domanda ? " asked" : ""));
    Click k;
    const std::string ini = k.ctx.FileIni();
    std::filesystem::create_directories(std::filesystem::path(ini).parent_path());
    std::ofstream(ini, std::ios::binary) << "[Versione]\r\nIncrementoAutomatico=-1\r\nPrincipale=2\r\nSecondario=1\r\n"
                                            "Revisione=5\r\nUltimaRigaFallita=0\r\n";
    const VersioneSalvata caricata = CaricaImpostazioni(k.ctx);
    if (c.finestra) k.ctx.versioneVista = caricata;
    if (c.altra) {
      ASSERT_TRUE(ScriviIniStringa(test::ProfiloDiProva(), ini, kSezioneVersione, "Revisione", "8"));
    }
    if (c.digitata) k.campi.ImpostaTesto(Campo::txtVersioneRevisione, c.digitata);
    k.ui.risposte = {c.risposta};

    EXPECT_NE(EseguiComando(k.ctx, c.gestore), Esito::Rifiutato);
    const std::string domanda =
        "Le impostazioni della versione in '" + ini +
        "' sono cambiate da quando questa finestra le ha lette o salvate: forse le ha salvate un'altra esecuzione di "
        "CompilaWexo.\n\nRevisione salvata: 8 (versione 2.1.8, incremento automatico sì)\nRevisione mostrata: 5 "
        "(versione 2.1.5, incremento automatico sì)\n\nCaricare le impostazioni salvate prima di continuare?\n"
        "Sì: la finestra mostra quelle salvate e il comando le usa.\nNo: il comando usa i valori mostrati.";
    const auto domande = std::count_if(k.ui.messaggi.begin(), k.ui.messaggi.end(),
                                       [](const test::Messaggio& m) { return m.stile == kStileSiNoDomanda; });
    EXPECT_EQ(domande, c.domanda ? 1 : 0);
    if (c.domanda) {
      EXPECT_EQ(k.Testi().front(), M(domanda, 36));
    }
    EXPECT_NE(k.s.prefisso.Leggi(kBase).find("RevisionVer=" + std::string(c.stampata) + "\r\n"), std::string::npos);
    EXPECT_EQ(LeggiIniStringa(test::ProfiloDiProva(), ini, kSezioneVersione, "Revisione", "", 255), c.salvata);

    // What the command saved itself is no change to ask about, whatever the
    // user types afterwards.
    k.campi.ImpostaTesto(Campo::txtVersioneRevisione, "42");
    k.ui.messaggi.clear();
    EseguiComando(k.ctx, c.gestore);
    EXPECT_TRUE(std::none_of(k.ui.messaggi.begin(), k.ui.messaggi.end(),
                             [](const test::Messaggio& m) { return m.stile == kStileSiNoDomanda; }));
  }
}

}  // namespace
}  // namespace cw
