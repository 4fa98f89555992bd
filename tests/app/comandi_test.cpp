// Clicks: the command frame run from a button, a run-time error that ends
// only the command, the guard against a second command started from inside
// the first one's event-pump turn.

#include <QDialog>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <stdexcept>

#include "base/errors.h"
#include "commands/chiusura.h"
#include "commands/cornice.h"
#include "finestra_fixture.h"

namespace cw::test {
namespace {

// What the handlers below saw; reset by the fixture.
struct Visto {
  int puntatore = -1;
  int eseguiti = 0;
  int altri = 0;
  bool inCorso = false;
  std::vector<QString> accesi;  // the controls drawn enabled during the command
  int scorrimento = -1;         // the log's view after a scroll back and a new line
};
Visto g_visto;
frmCompilazione* g_finestra = nullptr;

Esito Incorniciato(Contesto& ctx) {
  ++g_visto.eseguiti;
  return InCornice(ctx, Cornice{kPuntatoreFrecciaClessidra, true, "Backup effettuato"}, [&] {
    g_visto.puntatore = PuntatoreCorrente();
    AnnunciaPasso(ctx.ui, "Backup di A.VBP in corso...");
    ConcludiPasso(ctx.ui, "Backup di A.VBP in corso... OK!");
    return Esito::Completato;
  });
}

Esito ConErrore(Contesto& ctx) {
  return InCornice(ctx, Cornice{kPuntatoreClessidra, true, "Backup effettuato"}, [&]() -> Esito {
    AnnunciaPasso(ctx.ui, "Backup di B.VBP in corso...");
    SollevaErrore(kFileNonTrovato, "/tmp/b.vbp");
  });
}

Esito ConGuasto(Contesto& ctx) {
  ctx.ui.SetMousePointer(kPuntatoreClessidra);
  throw std::logic_error("indice fuori dai limiti");
}

Esito Altro(Contesto&) {
  ++g_visto.altri;
  return Esito::Completato;
}

Esito ConAnteprima(Contesto& ctx) {
  ctx.mostraAnteprima(g_visto.altri++ == 0 ? "--- C:\\X.vbp\n+++ C:\\X.vbp\n-Città\n" : "File da modificare: 0");
  return Esito::Completato;
}

// As the compile loop does: input blocked, then the event pump; the clicks
// and keys sent meanwhile must reach nothing but the log, which scrolls.
Esito Bloccato(Contesto& ctx) {
  ++g_visto.eseguiti;
  ctx.ui.SetEnabled(false);
  auto* registra = g_finestra->findChild<QPushButton*>("cmdRegistra");
  for (QWidget* w : g_finestra->findChildren<QWidget*>())
    if (w->focusPolicy() != Qt::NoFocus && w->isEnabled() && !w->objectName().isEmpty() && w->window() == g_finestra)
      g_visto.accesi.push_back(w->objectName());
  g_visto.inCorso = g_finestra->findChild<QAction*>("mnuStrumenti")->isEnabled();
  auto* log = g_finestra->findChild<QListWidget*>("lstInformazioni");
  for (int i = 0; i < 40; ++i) ctx.ui.LogAddItem("riga " + std::to_string(i));
  ctx.ui.LogSelect(39);
  ctx.ui.LogRefresh();
  QTest::keyClick(log, Qt::Key_Home);  // back to the top, as the user reads
  ctx.ui.LogAddItem("riga 40");
  ctx.ui.LogSelect(40);
  g_visto.scorrimento = log->verticalScrollBar()->value();
  QTest::mouseClick(registra, Qt::LeftButton);
  registra->setFocus();
  QTest::keyClick(registra, Qt::Key_Return);
  QTest::keyClick(g_finestra, Qt::Key_Tab);
  ctx.ui.DoEvents();
  ctx.ui.SetEnabled(true);
  return Esito::Completato;
}

// Clicks itself and another command, asks to close the window, then runs
// the event pump as the compile loop does.
Esito ConPompa(Contesto& ctx) {
  ++g_visto.eseguiti;
  g_visto.inCorso = g_finestra->ComandoInCorso();
  QMetaObject::invokeMethod(g_finestra->findChild<QPushButton*>("cmdRegistra"), "click", Qt::QueuedConnection);
  QMetaObject::invokeMethod(g_finestra->findChild<QPushButton*>("cmdBackup"), "click", Qt::QueuedConnection);
  QMetaObject::invokeMethod(g_finestra, "close", Qt::QueuedConnection);
  ctx.ui.DoEvents();
  return Esito::Completato;
}

class ComandiTest : public FinestraTest {
 protected:
  void SetUp() override {
    FinestraTest::SetUp();
    g_visto = {};
    g_finestra = &Apri();
  }
  void TearDown() override {
    g_finestra = nullptr;
    FinestraTest::TearDown();
  }
  void Clicca(const char* nome) { QTest::mouseClick(Controllo<QPushButton>(nome), Qt::LeftButton); }
};

TEST_F(ComandiTest, UnComandoIncorniciatoFinisceConProntoSelezionatoEPuntatorePredefinito) {
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &Incorniciato));
  finestra->LogAddItem("riga di prima");
  finestra->LogSetFontName("Courier New");
  Clicca("cmdBackup");

  EXPECT_EQ(g_visto.eseguiti, 1);
  EXPECT_EQ(g_visto.puntatore, kPuntatoreFrecciaClessidra);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Backup di A.VBP in corso... OK!", "Pronto"}));
  auto* log = Controllo<QListWidget>("lstInformazioni");
  EXPECT_EQ(log->currentRow(), 1);
  ASSERT_EQ(log->selectedItems().size(), 1);
  EXPECT_EQ(log->selectedItems()[0]->text(), QStringLiteral("Pronto"));
  EXPECT_EQ(log->font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // The closing message comes with the pointer already back.
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].testo, QStringLiteral("Backup effettuato"));
  EXPECT_EQ(boxes[0].titolo, QStringLiteral("CompilaWexo"));
  EXPECT_EQ(boxes[0].icona, QMessageBox::Information);
  EXPECT_EQ(boxes[0].puntatore, kPuntatorePredefinito);
  EXPECT_FALSE(finestra->ComandoInCorso());
}

TEST_F(ComandiTest, UnErroreDiRunTimeFermaIlComandoMaNonLaFinestra) {
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &ConErrore));
  ASSERT_TRUE(finestra->CollegaComando("cmdRegistra", &Incorniciato));
  Clicca("cmdBackup");

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].testo, QStringLiteral("Errore di run-time '53':\n\nImpossibile trovare il file"));
  EXPECT_EQ(boxes[0].titolo, QStringLiteral("CompilaWexo"));
  EXPECT_EQ(boxes[0].icona, QMessageBox::Critical);
  EXPECT_EQ(boxes[0].pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(boxes[0].puntatore, kPuntatorePredefinito);
  // The row that failed stays in view; no "Pronto", no closing message.
  EXPECT_EQ(Log(), std::vector<std::string>{"Backup di B.VBP in corso..."});
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(finestra->isVisible());
  EXPECT_FALSE(finestra->ComandoInCorso());

  // The next command runs as usual.
  Clicca("cmdRegistra");
  EXPECT_EQ(g_visto.eseguiti, 1);
  EXPECT_EQ(Log().back(), "Pronto");
}

TEST_F(ComandiTest, UnGuastoNonDiRunTimeSiVedeEdNonChiudeLaFinestra) {
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &ConGuasto));
  Clicca("cmdBackup");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].testo, QStringLiteral("indice fuori dai limiti"));
  EXPECT_EQ(boxes[0].icona, QMessageBox::Critical);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(finestra->ComandoInCorso());
}

TEST_F(ComandiTest, IClicDuranteLaPompaDegliEventiNonAvvianoUnSecondoComando) {
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &ConPompa));
  ASSERT_TRUE(finestra->CollegaComando("cmdRegistra", &Altro));
  Clicca("cmdBackup");
  QApplication::processEvents();  // nothing left over to run later

  EXPECT_TRUE(g_visto.inCorso);
  EXPECT_EQ(g_visto.eseguiti, 1);
  EXPECT_EQ(g_visto.altri, 0);
  EXPECT_TRUE(finestra->isVisible());  // the close waited for the command's end
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].testo, QString::fromUtf8(kComandoInCorso));
  EXPECT_EQ(boxes[0].icona, QMessageBox::Warning);
  EXPECT_FALSE(finestra->ComandoInCorso());

  Clicca("cmdRegistra");
  EXPECT_EQ(g_visto.altri, 1);
}

TEST_F(ComandiTest, InvioSulPulsanteConIlFuocoLoClicca) {
  ASSERT_TRUE(finestra->CollegaComando("cmdRimuovi", &Altro));
  auto* rimuovi = Controllo<QPushButton>("cmdRimuovi");
  rimuovi->setFocus();
  QTest::keyClick(rimuovi, Qt::Key_Return);
  QTest::keyClick(rimuovi, Qt::Key_Enter);
  EXPECT_EQ(g_visto.altri, 2);
}

TEST_F(ComandiTest, DuranteUnComandoSoloIlLogEAccesoEScorreDopoTornaAccesoCioCheLoEra) {
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &Bloccato));
  ASSERT_TRUE(finestra->CollegaComando("cmdRegistra", &Altro));
  Controllo<QWidget>("txtGuidOld")->setEnabled(false);
  Clicca("cmdBackup");
  EXPECT_EQ(g_visto.eseguiti, 1);
  EXPECT_EQ(g_visto.accesi, std::vector<QString>{QStringLiteral("lstInformazioni")});
  EXPECT_FALSE(g_visto.inCorso);      // the menu greyed
  EXPECT_EQ(g_visto.scorrimento, 0);  // the new line left the reader at the top
  EXPECT_EQ(g_visto.altri, 0);
  EXPECT_FALSE(Controllo<QWidget>("txtGuidOld")->isEnabled());
  EXPECT_TRUE(Controllo<QWidget>("txtGuidNew")->isEnabled());
  EXPECT_TRUE(finestra->findChild<QAction*>("mnuStrumenti")->isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), Controllo<QWidget>("cmdBackup"));
  Clicca("cmdRegistra");
  EXPECT_EQ(g_visto.altri, 1);
}

TEST_F(ComandiTest, UnComandoRicollegatoSostituisceIlPrecedente) {
  ASSERT_TRUE(finestra->CollegaComando("cmdRimuovi", &Altro));
  ASSERT_TRUE(finestra->CollegaComando("cmdRimuovi", &Altro));
  Clicca("cmdRimuovi");
  EXPECT_EQ(g_visto.altri, 1);
  EXPECT_FALSE(finestra->CollegaComando("lblCommenti", &Altro));
  EXPECT_FALSE(finestra->CollegaComando("cmdInesistente", &Altro));
}

TEST_F(ComandiTest, LeVociDelMenuEseguonoIlLoroComando) {
  ASSERT_TRUE(finestra->CollegaComando("mnuIndirizziBaseDll", &Altro));
  finestra->findChild<QAction*>("mnuIndirizziBaseDll")->trigger();
  EXPECT_EQ(g_visto.altri, 1);
}

TEST_F(ComandiTest, LAnteprimaSiApreInUnaFinestraInSolaLetturaColCarattereDelReport) {
  ASSERT_TRUE(finestra->CollegaComando("mnuAnteprimaModifiche", &ConAnteprima));
  for (const char* atteso : {"--- C:\\X.vbp\n+++ C:\\X.vbp\n-Città\n", "File da modificare: 0"}) {
    finestra->findChild<QAction*>("mnuAnteprimaModifiche")->trigger();
    const auto finestre = finestra->findChildren<QDialog*>("frmAnteprima");
    ASSERT_EQ(finestre.size(), 1);  // the same window, its text replaced
    EXPECT_TRUE(finestre[0]->isVisible());
    EXPECT_EQ(finestre[0]->windowTitle(), QStringLiteral("Anteprima modifiche"));
    auto* testo = finestre[0]->findChild<QPlainTextEdit*>("txtAnteprima");
    ASSERT_NE(testo, nullptr);
    EXPECT_TRUE(testo->isReadOnly());
    EXPECT_EQ(testo->toPlainText(), QString::fromUtf8(atteso));
    EXPECT_EQ(testo->font().family(), QStringLiteral("Courier New"));
    QTest::keyClick(testo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_TRUE(testo->textCursor().atEnd());
    QTest::keyClick(testo, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_TRUE(testo->textCursor().atStart());
  }
}

TEST_F(ComandiTest, LaTabellaDeiComandiNominaSoloControlliDellaFinestra) {
  for (const VoceComando& voce : TabellaComandi())
    EXPECT_TRUE(finestra->CollegaComando(QString::fromUtf8(voce.nome), voce.gestore)) << voce.nome;
}

}  // namespace
}  // namespace cw::test
