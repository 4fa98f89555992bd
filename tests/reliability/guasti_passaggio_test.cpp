// Every single file operation of "Backup e versione" over a five-row suite,
// made to fail one at a time: the rows before the failure are done, the
// failing row is recoverable (its project file whole, or its "_tmp" copy
// holding the old content in full), the rows after are untouched, and the
// error ends the command in the run-time error box.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <string>

#include "base/ansi.h"
#include "base/errors.h"
#include "commands/comandi.h"
#include "reliability/suite_guasti.h"
#include "support/contesto_prova.h"
#include "support/fault_injecting_filesystem.h"
#include "support/ui_registrata.h"

namespace cw::test {
namespace {

using Op = FaultInjectingFileSystem::Op;

struct Esecuzione {
  Esito esito{};
  UiRegistrata ui;
  std::vector<FaultInjectingFileSystem::Call> traccia;
};

// One click of "Backup e versione" with 2.0.5 over the suite, through the
// click dispatcher, with the given faults.
Esecuzione Esegui(SuiteGuasti& suite, const std::function<void(FaultInjectingFileSystem&)>& guasti) {
  Esecuzione e;
  CampiInMemoria campi;
  campi.ImpostaTesto(Campo::txtVersionePrincipale, "2");
  campi.ImpostaTesto(Campo::txtVersioneSecondario, "0");
  campi.ImpostaTesto(Campo::txtVersioneRevisione, "5");
  campi.ImpostaIncrementoAutomatico(0);
  FaultInjectingFileSystem fso(suite.fso);
  guasti(fso);
  const std::string ini = (suite.prefisso.Dir() / "WexoUty.ini").string();
  Contesto ctx = test::ContestoDiProva(fso, suite.catalogo, e.ui, campi);
  ctx.fileIni = [ini] { return ini; };
  e.esito = EseguiComando(ctx, &cmdImpostaVersione_Click);
  e.traccia = fso.Trace();
  return e;
}

std::string Voce(const std::string& prefisso, const SuiteGuasti& s, size_t i) {
  return prefisso + MaiuscoloUtf8(s.righe[i].file) + " in corso...";
}

// Checks the suite after a pass that failed; empty when all holds.
std::string Verifica(const SuiteGuasti& suite, const std::map<size_t, std::map<std::string, std::string>>& prima,
                     const Esecuzione& e, int errore) {
  std::string difetti;
  const auto difetto = [&](const std::string& d) { difetti += "  " + d + "\n"; };
  if (e.esito != Esito::ErroreRuntime) difetto("the command did not end on the run-time error");
  if (e.ui.messaggi.size() != 1) {
    difetto(std::to_string(e.ui.messaggi.size()) + " boxes shown");
  } else {
    const auto& m = e.ui.messaggi[0];
    if (m.testo != ErroreRuntime(errore).TestoMessaggio() || m.stile != kStileCritico ||
        m.titolo != kTitoloApplicazione)
      difetto("box " + m.testo + " style " + std::to_string(m.stile));
  }
  if (e.ui.puntatore != kPuntatorePredefinito) difetto("pointer left at " + std::to_string(e.ui.puntatore));

  // The failing step is the log's last line, still "in corso..."; every
  // line before it is done.
  // A fault in the checks before the first row: nothing may have changed.
  if (e.ui.log.empty()) {
    for (size_t i = 0; i < suite.righe.size(); ++i)
      if (suite.Stato(i) != prima.at(i)) difetto(suite.righe[i].file + "'s folder touched before the first row");
    return difetti;
  }
  const std::string& ultima = e.ui.log.back();
  const bool backup = ultima.rfind("Backup di ", 0) == 0;
  const size_t n = suite.righe.size();
  size_t riga = n;
  for (size_t i = 0; i < n; ++i)
    if (ultima == Voce(backup ? "Backup di " : "Impostazione versione di ", suite, i)) riga = i;
  if (riga == n) return difetti + "  last log line is no step: " + ultima + "\n";
  for (size_t k = 0; k + 1 < e.ui.log.size(); ++k)
    if (e.ui.log[k].size() < 4 || e.ui.log[k].compare(e.ui.log[k].size() - 4, 4, " OK!") != 0)
      difetto("log line not done: " + e.ui.log[k]);
  if (e.ui.log.size() != (backup ? riga + 1 : n + riga + 1)) difetto(std::to_string(e.ui.log.size()) + " log lines");

  for (size_t i = 0; i < n; ++i) {
    const auto ora = suite.Stato(i);
    const std::string nome = suite.righe[i].file;
    const auto file = [&](const std::string& f) -> const std::string* {
      const auto it = ora.find(f);
      return it == ora.end() ? nullptr : &it->second;
    };
    const std::string* progetto = file(nome);
    const std::string* copia = file(nome + "_tmp");
    const bool backupFatto = file(nome + "_1") && *file(nome + "_1") == suite.Vecchio(i);
    // Every generation is a whole earlier copy, or absent.
    for (const auto& [f, contenuto] : ora) {
      if (f.rfind(nome + "_", 0) != 0 || f == nome + "_tmp") continue;
      bool intera = contenuto == suite.Vecchio(i);
      for (const auto& [g, vecchio] : prima.at(i)) intera = intera || (g != nome + "_tmp" && vecchio == contenuto);
      if (!intera) difetto(f + " is no whole earlier copy");
    }
    if (backup) {
      // No project file is rewritten before every backup is done.
      if (!progetto || *progetto != suite.Vecchio(i)) difetto(nome + " changed in the backup");
      if (copia) difetto(nome + "_tmp made in the backup");
      if (i < riga && !backupFatto) difetto(nome + " not backed up");
      if (i > riga && ora != prima.at(i)) difetto(nome + "'s folder touched");
    } else {
      if (!backupFatto) difetto(nome + " not backed up");
      if (i < riga) {
        if (!progetto || *progetto != suite.Nuovo(i)) difetto(nome + " not rewritten");
        if (copia) difetto(nome + "_tmp left");
      } else if (i == riga) {
        const bool intatto = progetto && *progetto == suite.Vecchio(i) && (!copia || *copia == suite.Vecchio(i));
        const bool daCopia = copia && *copia == suite.Vecchio(i);
        // The last row's flush of its folder failing, once the file is done.
        const bool fatto = i + 1 == n && progetto && *progetto == suite.Nuovo(i) && !copia;
        if (!intatto && !daCopia && !fatto)
          difetto(nome + " lost: neither the file nor its copy holds the old content");
      } else {
        if (!progetto || *progetto != suite.Vecchio(i)) difetto(nome + " changed after the failing row");
        if (copia) difetto(nome + "_tmp made after the failing row");
      }
    }
  }
  return difetti;
}

class GuastiPassaggio : public ::testing::Test {
 protected:
  // The calls of a clean pass; checks its result on the way.
  long ContaOperazioni() {
    SuiteGuasti suite;
    const Esecuzione e = Esegui(suite, [](FaultInjectingFileSystem&) {});
    EXPECT_EQ(e.esito, Esito::Completato);
    for (size_t i = 0; i < suite.righe.size(); ++i) {
      EXPECT_EQ(suite.Leggi(suite.Progetto(i)), suite.Nuovo(i)) << i;
      EXPECT_EQ(suite.Leggi(suite.Progetto(i) + "_1"), suite.Vecchio(i)) << i;
      EXPECT_FALSE(suite.Esiste(suite.Copia(i))) << i;
    }
    return static_cast<long>(e.traccia.size());
  }

  // Fails operation n (and, when persistent, every one after it) for every n.
  void ProvaOgniOperazione(bool persistente, int errore, const char* nome) {
    const long totale = ContaOperazioni();
    ASSERT_GT(totale, 100);
    std::map<std::string, int> perTipo;
    int superati = 0;
    for (long n = 1; n <= totale; ++n) {
      SuiteGuasti suite;
      std::map<size_t, std::map<std::string, std::string>> prima;
      for (size_t i = 0; i < suite.righe.size(); ++i) prima[i] = suite.Stato(i);
      const Esecuzione e = Esegui(suite, [&](FaultInjectingFileSystem& f) {
        FaultInjectingFileSystem::Fault g;
        g.error = errore;
        g.number = persistente ? 0 : n;
        g.occurrence = persistente ? n : 1;
        g.persistent = persistente;
        f.Inject(g);
      });
      ASSERT_GE(static_cast<long>(e.traccia.size()), n);
      const auto& chiamata = e.traccia[static_cast<size_t>(n - 1)];
      ASSERT_TRUE(chiamata.failed) << n;
      ++perTipo[FaultInjectingFileSystem::Name(chiamata.op)];
      const std::string difetti = Verifica(suite, prima, e, errore);
      EXPECT_TRUE(difetti.empty()) << "operation " << n << " (" << FaultInjectingFileSystem::Name(chiamata.op) << " "
                                   << chiamata.path << ") failed:\n"
                                   << difetti;
      if (difetti.empty()) ++superati;
    }
    std::cout << "[ numbers  ] " << nome << ": " << totale << " operations, " << totale << " faults injected, "
              << superati << " passed; by operation:";
    for (const auto& [tipo, quanti] : perTipo) std::cout << " " << tipo << "=" << quanti;
    std::cout << std::endl;
  }
};

TEST_F(GuastiPassaggio, EachOperationFailingOnceLosesNothing) {
  ProvaOgniOperazione(false, kErroreIo, "one I/O error");
}

// A disk that fills up: operation n and every one after it fail.
TEST_F(GuastiPassaggio, EveryOperationFromTheNthFailingLosesNothing) {
  ProvaOgniOperazione(true, kDiscoPieno, "disk full from operation n on");
}

}  // namespace
}  // namespace cw::test

namespace cw::test {
namespace {

// What the recovery note promises: after "Backup e versione" stopped while a
// project file was half written, its old content is in its "_tmp" copy and
// in its first backup generation; running the command again replaces the
// copy, but the old content then lives on one generation older.
TEST(RecuperoDopoGuasto, TheOldContentIsInTheCopyAndTheBackupAndSurvivesARerunInTheBackup) {
  SuiteGuasti suite;
  const size_t riga = 2;
  const std::string percorso = suite.Progetto(riga);
  const Esecuzione e = Esegui(suite, [&](FaultInjectingFileSystem& f) {
    f.FailNthWithPath(percorso, 4, kErroreIo, FaultInjectingFileSystem::Op::WriteLine);
  });
  ASSERT_EQ(e.esito, Esito::ErroreRuntime);
  const std::string mezzo = suite.Leggi(percorso);
  EXPECT_NE(mezzo, suite.Vecchio(riga));
  // The three lines written before the fault, which no rule changes.
  EXPECT_EQ(std::count(mezzo.begin(), mezzo.end(), '\n'), 3);
  EXPECT_EQ(suite.Vecchio(riga).compare(0, mezzo.size(), mezzo), 0);
  EXPECT_EQ(suite.Leggi(suite.Copia(riga)), suite.Vecchio(riga));
  EXPECT_EQ(suite.Leggi(percorso + "_1"), suite.Vecchio(riga));

  // Run again without recovering first: refused, nothing changed, the
  // copy named; then "Ripristina file interrotti" puts it back, the half
  // written file kept beside it.
  const auto stato = suite.Stato(riga);
  const Esecuzione ancora = Esegui(suite, [](FaultInjectingFileSystem&) {});
  ASSERT_EQ(ancora.esito, Esito::Rifiutato);
  EXPECT_EQ(suite.Stato(riga), stato);
  ASSERT_EQ(ancora.ui.messaggi.size(), 1u);
  EXPECT_EQ(ancora.ui.messaggi[0].stile, kStileEsclamativo);
  EXPECT_NE(ancora.ui.messaggi[0].testo.find(suite.Copia(riga)), std::string::npos);

  UiRegistrata ui;
  CampiInMemoria campi;
  Contesto ctx = test::ContestoDiProva(suite.fso, suite.catalogo, ui, campi);
  ASSERT_EQ(EseguiComando(ctx, &mnuRipristina_Click), Esito::Completato);
  EXPECT_EQ(ui.log,
            (std::vector<std::string>{"Ripristino di " + MaiuscoloUtf8(suite.righe[riga].file) +
                                      " in corso... OK! Il contenuto sostituito è in " + percorso + "_interrotto"}));
  EXPECT_EQ(suite.Leggi(percorso), suite.Vecchio(riga));
  EXPECT_EQ(suite.Leggi(percorso + "_interrotto"), mezzo);
  EXPECT_FALSE(suite.Esiste(suite.Copia(riga)));
  EXPECT_EQ(Esegui(suite, [](FaultInjectingFileSystem&) {}).esito, Esito::Completato);
  EXPECT_EQ(suite.Leggi(percorso + "_2"), suite.Vecchio(riga));
}

}  // namespace
}  // namespace cw::test
