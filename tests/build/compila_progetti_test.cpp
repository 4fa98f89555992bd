#include <gtest/gtest.h>

#include "base/ansi.h"
#include "base/errors.h"
#include "build/compila.h"
#include "support/compila_finti.h"
#include "support/errore.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::RigaSuite;
using test::SuiteCompilazione;
using test::UiRegistrata;

const std::string kErrori = "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt";

TEST(RigaDiComando, EveryPathStandsBetweenQuotesWithSingleBlanks) {
  EXPECT_EQ(RigaDiComando("C:\\Progetti VB\\Wexo\\Anagrafe Clienti\\Anagrafe Clienti.vbp", "C:\\Orbalis\\Componenti"),
            "\"C:\\Programmi\\Microsoft Visual Studio\\VB98\\VB6.EXE\" /make "
            "\"C:\\Progetti VB\\Wexo\\Anagrafe Clienti\\Anagrafe Clienti.vbp\" /outdir \"C:\\Orbalis\\Componenti\" "
            "/out \"C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt\"");
  // Nothing is escaped: a trailing backslash or a quote goes in as it is.
  EXPECT_EQ(RigaDiComando("a\\", "b\"c"),
            "\"C:\\Programmi\\Microsoft Visual Studio\\VB98\\VB6.EXE\" /make \"a\\\" /outdir \"b\"c\" /out "
            "\"C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt\"");
}

TEST(CompilazioneFallita, EitherWordInAnyCaseAnywhere) {
  for (const char* testo : {"impossibile", "IMPOSSIBILE", "xxImPoSsIbIlExx", "non completata", "Non Completata.",
                            "ok\r\nriga 2\r\nNON COMPLETATA"})
    EXPECT_TRUE(CompilazioneFallita(testo)) << testo;
  for (const char* testo :
       {"", "Compilazione di 'A.vbp' completata.", "possibile", "non  completata", "noncompletata", "impossibil"})
    EXPECT_FALSE(CompilazioneFallita(testo)) << testo;
}

TEST(CompilaProgetti, BuildsEveryRowMinimizedAndWaitsForEach) {
  SuiteCompilazione s({{"Anagrafe Clienti"}, {"Ordini", "exe"}, {"Gestionale", "app"}});
  UiRegistrata ui;
  EXPECT_EQ(CompilaProgetti(s.fso, s.catalogo, ui, s.processi), std::nullopt);

  ASSERT_EQ(s.processi.avvii.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.processi.avvii[i].riga, RigaDiComando(s.catalogo.FileProgettoCompleto(i), "C:\\Orbalis\\Componenti"));
    EXPECT_EQ(s.processi.avvii[i].stile, 2);
  }
  // Waited for without a time-out, then let go.
  EXPECT_EQ(std::vector<std::string>(s.processi.eventi.begin() + 1, s.processi.eventi.begin() + 3),
            (std::vector<std::string>{"attendi:1:infinito", "rilascia:1"}));
  EXPECT_EQ(ui.log, (std::vector<std::string>{"0) Compilazione ANAGRAFE CLIENTI.VBP in corso... OK!",
                                              "1) Compilazione ORDINI.VBP in corso... OK!",
                                              "2) Compilazione GESTIONALE.VBP in corso... OK!"}));
  // Each line announced, selected and repainted; the overwrite waits for the pump.
  EXPECT_EQ(std::vector<std::string>(ui.eventi.begin(), ui.eventi.begin() + 5),
            (std::vector<std::string>{"add:0) Compilazione ANAGRAFE CLIENTI.VBP in corso...", "select:0", "refresh",
                                      "set:0:0) Compilazione ANAGRAFE CLIENTI.VBP in corso... OK!", "doevents"}));
  EXPECT_EQ(ui.repaint, 3);
  EXPECT_EQ(ui.doevents, 3);
  // One error file for the whole walk: every build's report is still in it.
  EXPECT_EQ(s.prefisso.Leggi(kErrori),
            "Compilazione di 'C:\\Progetti VB\\Wexo\\Anagrafe Clienti\\Anagrafe Clienti.vbp' completata.\r\n"
            "Compilazione di 'C:\\Progetti VB\\Wexo\\Ordini\\Ordini.vbp' completata.\r\n"
            "Compilazione di 'C:\\Progetti VB\\Wexo\\Gestionale\\Gestionale.vbp' completata.\r\n");
}

TEST(CompilaProgetti, SkipMarkersLeaveAGapInTheNumbering) {
  SuiteCompilazione s({{"A"},
                       {"B", "dll-skipcompile"},
                       {"C", "exe-skipcompile"},
                       {"D", "app-skipcompile"},
                       {"E", "DLL-SKIPCOMPILE"},
                       {"F", "app"},
                       {"G", "dll-skipcompile "}});
  UiRegistrata ui;
  CompilaProgetti(s.fso, s.catalogo, ui, s.processi);
  // Only the exact markers skip; any other kind, known or not, is built.
  EXPECT_EQ(s.costruiti,
            (std::vector<std::string>{"C:\\Progetti VB\\Wexo\\A\\A.vbp", "C:\\Progetti VB\\Wexo\\E\\E.vbp",
                                      "C:\\Progetti VB\\Wexo\\F\\F.vbp", "C:\\Progetti VB\\Wexo\\G\\G.vbp"}));
  EXPECT_EQ(ui.log, (std::vector<std::string>{
                        "0) Compilazione A.VBP in corso... OK!", "4) Compilazione E.VBP in corso... OK!",
                        "5) Compilazione F.VBP in corso... OK!", "6) Compilazione G.VBP in corso... OK!"}));
  // The pump turns for skipped rows too.
  EXPECT_EQ(ui.doevents, 7);
}

TEST(CompilaProgetti, AStaleErrorFileIsDeletedFirstEvenReadOnly) {
  SuiteCompilazione s({{"A"}, {"B"}});
  s.prefisso.Scrivi(kErrori, "Compilazione di 'vecchio' non completata.\r\n");
  std::filesystem::permissions(s.prefisso.Host(kErrori), std::filesystem::perms::owner_read);
  UiRegistrata ui;
  CompilaProgetti(s.fso, s.catalogo, ui, s.processi);
  EXPECT_EQ(s.costruiti.size(), 2u);
  EXPECT_EQ(ui.log.back(), "1) Compilazione B.VBP in corso... OK!");
  EXPECT_EQ(s.prefisso.Leggi(kErrori).find("vecchio"), std::string::npos);
}

TEST(CompilaProgetti, TheFirstFailureEndsTheWalk) {
  for (const char* parola : {"non completata", "NON COMPLETATA", "Impossibile"}) {
    SuiteCompilazione s({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}});
    s.fallite = {s.catalogo.FileProgettoCompleto(2)};
    s.parolaFallita = parola;
    UiRegistrata ui;
    EXPECT_EQ(CompilaProgetti(s.fso, s.catalogo, ui, s.processi), 2) << parola;
    EXPECT_EQ(s.costruiti.size(), 3u);
    EXPECT_EQ(ui.log, (std::vector<std::string>{"0) Compilazione A.VBP in corso... OK!",
                                                "1) Compilazione B.VBP in corso... OK!",
                                                "2) Compilazione C.VBP in corso... ERRORE!"}));
    // No pump for the failed row; its line is repainted instead.
    EXPECT_EQ(ui.doevents, 2);
    EXPECT_EQ(ui.eventi.back(), "refresh");
    // The error file stays for the caller to show.
    EXPECT_TRUE(s.prefisso.Esiste(kErrori));
  }
}

// A build may not run past its limit: it is then read (its windows, the
// screen), ended, and fails with a line in the error file; the walk stops.
TEST(CompilaProgetti, ABuildPastItsLimitIsEndedAndFails) {
  const std::string b = "C:\\Progetti VB\\Wexo\\B\\B.vbp";
  const std::string schermata = "Schermata salvata in C:\\Progetti VB\\Wexo\\ErroriCompilazione.png";
  const std::vector<FinestraMostrata> domanda = {
      {"Microsoft Visual Basic", {"Compatibilità binaria interrotta.\r\nContinuare?", "OK", "Annulla"}}};
  constexpr std::uint32_t kAppeso = UINT32_MAX;
  const struct Caso {
    const char* nome;
    std::uint32_t limite;  // seconds, 0: none
    std::uint32_t durata;  // how long B's build runs, ms; kAppeso: it never ends, reporting nothing
    std::vector<FinestraMostrata> finestre;
    bool schermo;
    std::optional<int> fallita;
    std::vector<std::string> eventi;  // B's, after its start
    std::string ultimaRiga;           // of the error file, UTF-8
    std::vector<std::string> log;
    bool perso = false;        // B's wait fails
    std::uint32_t codice = 0;  // B's exit code
  } casi[] = {
      {"no limit: a long build is waited for",
       0,
       600000,
       {},
       true,
       std::nullopt,
       {"attendi:2:infinito", "rilascia:2"},
       "Compilazione di 'C:\\Progetti VB\\Wexo\\C\\C.vbp' completata.",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... OK!",
        "2) Compilazione C.VBP in corso... OK!"}},
      {"a build within its limit",
       10,
       9999,
       {},
       true,
       std::nullopt,
       {"attendi:2:10000", "rilascia:2"},
       "Compilazione di 'C:\\Progetti VB\\Wexo\\C\\C.vbp' completata.",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... OK!",
        "2) Compilazione C.VBP in corso... OK!"}},
      {"stuck on a question",
       2,
       kAppeso,
       domanda,
       true,
       1,
       {"attendi:2:2000", "finestre:2", "schermata:C:\\Progetti VB\\Wexo\\ErroriCompilazione.png", "termina:2",
        "rilascia:2"},
       "Compilazione di '" + b +
           "' non completata: ancora in corso dopo il limite di 2 secondi, terminata. Finestra \"Microsoft Visual "
           "Basic\": \"Compatibilità binaria interrotta.  Continuare?\" \"OK\" \"Annulla\".",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... ERRORE!", schermata}},
      {"past its limit with no window and no screen",
       1,
       1001,
       {},
       false,
       1,
       {"attendi:2:1000", "finestre:2", "schermata:C:\\Progetti VB\\Wexo\\ErroriCompilazione.png", "termina:2",
        "rilascia:2"},
       "Compilazione di '" + b + "' completata.\r\nCompilazione di '" + b +
           "' non completata: ancora in corso dopo il limite di 1 secondo, terminata. Nessuna finestra aperta.",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... ERRORE!"}},
      {"its wait fails: not a success",
       0,
       0,
       {},
       true,
       1,
       {"attendi:2:infinito", "termina:2", "rilascia:2"},
       "Compilazione di '" + b + "' non completata: l'attesa della compilazione è fallita, terminata.",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... ERRORE!"},
       true},
      {"killed by a signal: a report saying it built is not believed",
       0,
       0,
       {},
       true,
       1,
       {"attendi:2:infinito", "rilascia:2"},
       "Compilazione di '" + b + "' completata.\r\nCompilazione di '" + b +
           "' non completata: terminata dal segnale 9.",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... ERRORE!"},
       false,
       128 + 9},
      {"an exception under Wine",
       0,
       0,
       {},
       true,
       1,
       {"attendi:2:infinito", "rilascia:2"},
       "Compilazione di '" + b + "' completata.\r\nCompilazione di '" + b +
           "' non completata: terminata dall'eccezione 0xC0000005.",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... ERRORE!"},
       false,
       0xC0000005u},
      {"an ordinary exit code is the error file's to judge",
       0,
       0,
       {},
       true,
       std::nullopt,
       {"attendi:2:infinito", "rilascia:2"},
       "Compilazione di 'C:\\Progetti VB\\Wexo\\C\\C.vbp' completata.",
       {"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso... OK!",
        "2) Compilazione C.VBP in corso... OK!"},
       false,
       1},
  };
  for (const Caso& c : casi) {
    SuiteCompilazione s({{"A"}, {"B"}, {"C"}});
    const std::string rigaB = RigaDiComando(b, "C:\\Orbalis\\Componenti");
    if (c.perso) s.processi.persi.insert(rigaB);
    if (c.codice) s.processi.codici[rigaB] = c.codice;
    if (c.durata == kAppeso)
      s.processi.appesi.insert(rigaB);
    else
      s.processi.durate[rigaB] = c.durata;
    s.processi.finestre = c.finestre;
    s.processi.schermo = c.schermo;
    UiRegistrata ui;
    EXPECT_EQ(CompilaProgetti(s.fso, s.catalogo, ui, s.processi, -1, nullptr, c.limite, {}, &s.processi), c.fallita)
        << c.nome;
    const auto shell = std::find(s.processi.eventi.begin(), s.processi.eventi.end(), "avvia:" + rigaB);
    ASSERT_NE(shell, s.processi.eventi.end()) << c.nome;
    EXPECT_EQ(std::vector<std::string>(
                  shell + 1, std::min(shell + 1 + static_cast<long>(c.eventi.size()), s.processi.eventi.end())),
              c.eventi)
        << c.nome;
    EXPECT_EQ(ui.log, c.log) << c.nome;
    // The error file ends with the last build's report, or with the line of the one ended.
    std::string errori = s.prefisso.Leggi(kErrori);
    ASSERT_TRUE(errori.ends_with("\r\n")) << c.nome;
    errori.resize(errori.size() - 2);
    EXPECT_TRUE(errori.ends_with(Utf8ToAnsi(c.ultimaRiga))) << c.nome << ": " << AnsiToUtf8(errori);
  }
}

using test::ErroreDi;

TEST(CompilaProgetti, AnEnvironmentThatCannotBeStartedStopsAtThatRow) {
  SuiteCompilazione s({{"A"}, {"B"}, {"C"}});
  s.processi.programma = [&](const std::string& riga) {
    s.Programma(riga);
    s.processi.nonAvviabile = true;  // gone after the first build
  };
  UiRegistrata ui;
  EXPECT_EQ(ErroreDi([&] { CompilaProgetti(s.fso, s.catalogo, ui, s.processi); }), 53);
  EXPECT_EQ(s.costruiti.size(), 1u);
  EXPECT_EQ(ui.log,
            (std::vector<std::string>{"0) Compilazione A.VBP in corso... OK!", "1) Compilazione B.VBP in corso..."}));
}

TEST(CompilaProgetti, ABuildThatLeavesNoErrorFileStopsAtThatRow) {
  SuiteCompilazione s({{"A"}, {"B"}});
  s.senzaFileErrori = true;
  UiRegistrata ui;
  EXPECT_EQ(ErroreDi([&] { CompilaProgetti(s.fso, s.catalogo, ui, s.processi); }), 53);
  EXPECT_EQ(s.costruiti.size(), 1u);
  EXPECT_EQ(ui.log, (std::vector<std::string>{"0) Compilazione A.VBP in corso..."}));
}

// A window that can be disabled: off for the walk, on again after it, also
// when a run-time error ends the walk.
class UiDisabilitabile : public UiRegistrata {
 public:
  std::vector<bool> stati;
  bool abilitata = true;
  void SetEnabled(bool e) override {
    abilitata = e;
    stati.push_back(e);
  }
};

TEST(CompilaProgetti, TheWindowIsDisabledForTheWalkOnly) {
  SuiteCompilazione s({{"A"}, {"B"}});
  UiDisabilitabile ui;
  std::vector<bool> durante;
  s.processi.programma = [&](const std::string& riga) {
    durante.push_back(ui.abilitata);
    s.Programma(riga);
  };
  CompilaProgetti(s.fso, s.catalogo, ui, s.processi);
  EXPECT_EQ(durante, (std::vector<bool>{false, false}));
  EXPECT_EQ(ui.stati, (std::vector<bool>{false, true}));

  UiDisabilitabile ui2;
  s.processi.nonAvviabile = true;
  EXPECT_EQ(ErroreDi([&] { CompilaProgetti(s.fso, s.catalogo, ui2, s.processi); }), 53);
  EXPECT_TRUE(ui2.abilitata);
}

}  // namespace
}  // namespace cw
