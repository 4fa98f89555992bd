// The window as the core's Ui and Campi: the log, the boxes by style, the
// screen-wide pointer, the fields.

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "base/errors.h"
#include "finestra_fixture.h"

namespace cw::test {
namespace {

class UiTest : public FinestraTest {
 protected:
  void SetUp() override {
    FinestraTest::SetUp();
    Apri();
    log = Controllo<QListWidget>("lstInformazioni");
  }
  int Box(int stile, std::function<void(QMessageBox&)> azione) {
    risposta = std::move(azione);
    return finestra->MsgBox("Domanda <b>?</b>", stile, "CompilaWexo");
  }
  static std::function<void(QMessageBox&)> Premi(QMessageBox::StandardButton b) {
    return [b](QMessageBox& box) { box.button(b)->click(); };
  }
  static void Chiudi(QMessageBox& box) { box.close(); }
  static void Esc(QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }

  QListWidget* log = nullptr;
};

TEST_F(UiTest, IlLogAggiungeSovrascriveESeleziona) {
  finestra->LogAddItem("Impostazione compatibilità di A.VBP in corso...");
  finestra->LogAddItem("Backup di B.VBP in corso...");
  EXPECT_EQ(finestra->LogCount(), 2);
  EXPECT_EQ(finestra->LogItem(0), "Impostazione compatibilità di A.VBP in corso...");
  finestra->LogSelect(1);
  EXPECT_EQ(log->currentRow(), 1);
  // Overwriting leaves the selection where it was.
  finestra->LogSetItem(0, "Impostazione compatibilità di A.VBP in corso... OK!");
  EXPECT_EQ(finestra->LogItem(0), "Impostazione compatibilità di A.VBP in corso... OK!");
  EXPECT_EQ(log->currentRow(), 1);
  EXPECT_EQ(log->selectedItems().size(), 1);
  finestra->LogSelect(-1);
  EXPECT_TRUE(log->selectedItems().empty());
  finestra->LogClear();
  EXPECT_EQ(finestra->LogCount(), 0);
}

TEST_F(UiTest, UnaRigaFuoriDalLogEUnErroreDiRunTime) {
  finestra->LogAddItem("una");
  for (int i : {-2, 1}) {
    EXPECT_THROW(finestra->LogItem(i), ErroreRuntime);
    EXPECT_THROW(finestra->LogSetItem(i, "x"), ErroreRuntime);
    EXPECT_THROW(finestra->LogSelect(i), ErroreRuntime);
  }
  EXPECT_EQ(Log(), std::vector<std::string>{"una"});
}

TEST_F(UiTest, SelezionareLUltimaRigaLaPortaInVista) {
  for (int i = 0; i < 200; ++i) finestra->LogAddItem("Backup di P" + std::to_string(i) + ".VBP in corso... OK!");
  finestra->LogSelect(199);
  finestra->LogRefresh();
  const QRect riga = log->visualItemRect(log->item(199));
  EXPECT_TRUE(log->viewport()->rect().contains(riga)) << riga.y();
}

TEST_F(UiTest, IlRidisegnoAvvieneSubitoSenzaGirareIlCicloDegliEventi) {
  struct ContaDisegni : QObject {
    int disegni = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++disegni;
      return false;
    }
  } conta;
  QApplication::processEvents();
  log->viewport()->installEventFilter(&conta);
  bool scattato = false;
  QTimer::singleShot(0, [&] { scattato = true; });
  finestra->LogAddItem("Backup di A.VBP in corso...");
  finestra->LogRefresh();
  EXPECT_GE(conta.disegni, 1);
  EXPECT_FALSE(scattato);
  log->viewport()->removeEventFilter(&conta);
  QApplication::processEvents();
  EXPECT_TRUE(scattato);
}

TEST_F(UiTest, IBoxPerStileConIconaPulsantiERisposta) {
  struct Caso {
    int stile;
    QMessageBox::Icon icona;
    QMessageBox::StandardButtons pulsanti;
    QMessageBox::StandardButton predefinito;
  };
  for (const Caso& c : {Caso{16, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
                        Caso{33, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok},
                        Caso{36, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
                        Caso{48, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok},
                        Caso{64, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok}}) {
    SCOPED_TRACE(c.stile);
    QMessageBox::StandardButton predefinito = QMessageBox::NoButton;
    Qt::TextFormat formato = Qt::AutoText;
    Box(c.stile, [&](QMessageBox& box) {
      predefinito = box.standardButton(box.defaultButton());
      formato = box.textFormat();
      box.defaultButton()->click();
    });
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().icona, c.icona);
    EXPECT_EQ(boxes.back().pulsanti, c.pulsanti);
    EXPECT_EQ(boxes.back().titolo, QStringLiteral("CompilaWexo"));
    EXPECT_EQ(boxes.back().testo, QStringLiteral("Domanda <b>?</b>"));
    EXPECT_EQ(formato, Qt::PlainText);
    EXPECT_EQ(predefinito, c.predefinito);
  }
}

TEST_F(UiTest, LaRispostaEIlPulsantePremutoEChiudereValeAnnullaONo) {
  EXPECT_EQ(Box(33, Premi(QMessageBox::Ok)), kRispostaOk);
  EXPECT_EQ(Box(33, Premi(QMessageBox::Cancel)), kRispostaAnnulla);
  EXPECT_EQ(Box(33, Chiudi), kRispostaAnnulla);
  EXPECT_EQ(Box(33, Esc), kRispostaAnnulla);
  EXPECT_EQ(Box(36, Premi(QMessageBox::Yes)), kRispostaSi);
  EXPECT_EQ(Box(36, Premi(QMessageBox::No)), kRispostaNo);
  EXPECT_EQ(Box(36, Chiudi), kRispostaNo);
  EXPECT_EQ(Box(36, Esc), kRispostaNo);
  for (int stile : {16, 48, 64}) {
    EXPECT_EQ(Box(stile, Premi(QMessageBox::Ok)), kRispostaOk);
    EXPECT_EQ(Box(stile, Chiudi), kRispostaOk);
  }
}

TEST_F(UiTest, IlPuntatoreEUnSoloValoreSuTuttoLoSchermo) {
  finestra->SetMousePointer(kPuntatoreClessidra);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  finestra->SetMousePointer(kPuntatoreFrecciaClessidra);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
  finestra->SetMousePointer(kPuntatoreClessidra);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  // One value, not a stack: a single reset brings the default back, even
  // over an override someone else left.
  QApplication::setOverrideCursor(Qt::CrossCursor);
  finestra->SetMousePointer(kPuntatorePredefinito);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(UiTest, ITreCampiDellaVersioneLimitanoSoloLaDigitazione) {
  for (const char* nome : {"txtVersionePrincipale", "txtVersioneSecondario", "txtVersioneRevisione"}) {
    SCOPED_TRACE(nome);
    auto* e = Controllo<QLineEdit>(nome);
    e->clear();
    QTest::keyClicks(e, "123456");
    EXPECT_EQ(e->text(), QStringLiteral("1234"));
  }
  finestra->ImpostaTesto(Campo::txtVersioneRevisione, "10000");
  auto* revisione = Controllo<QLineEdit>("txtVersioneRevisione");
  EXPECT_EQ(finestra->Testo(Campo::txtVersioneRevisione), "10000");
  revisione->end(false);
  QTest::keyClicks(revisione, "7");
  EXPECT_EQ(revisione->text(), QStringLiteral("10000"));
  QTest::keyClick(revisione, Qt::Key_Backspace);
  EXPECT_EQ(revisione->text(), QStringLiteral("1000"));
  QTest::keyClicks(revisione, "9");
  EXPECT_EQ(revisione->text(), QStringLiteral("1000"));

  auto* commenti = Controllo<QLineEdit>("txtCommenti");
  QTest::keyClicks(commenti, "Componenti della suite Wexo");
  EXPECT_EQ(finestra->Testo(Campo::txtCommenti), "Componenti della suite Wexo");
}

TEST_F(UiTest, UnInserimentoETagliatoAlPrimoACapoEAlPostoCheIlLimiteLascia) {
  const struct {
    const char* nome;
    Campo campo;
    const char* prima;      // set by the program
    int inizio, lunghezza;  // the selection
    const char* incollato;
    const char* dopo;
  } casi[] = {
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "12", 2, 0, "3456", "1234"},      // cut, not refused whole
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "1234", 0, 4, "567890", "5678"},  // over the whole text
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "1234", 1, 2, "abc", "1ab4"},     // over a part
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "10000", 0, 5, "99999",
       "9999"},  // a long text replaced gets the limit
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "10000", 1, 4, "7", "17"},
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "10000", 5, 0, "7",
       "10000"},  // a long text takes nothing more
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "1234", 4, 0, "5", "1234"},
      {"txtVersioneRevisione", Campo::txtVersioneRevisione, "", 0, 0, "7\r\n8", "7"},
      {"txtCommenti", Campo::txtCommenti, "vecchio", 0, 7, "riga1\r\nMajorVer=99", "riga1"},
      {"txtCommenti", Campo::txtCommenti, "ab", 1, 0, "x\ry", "axb"},
      {"txtGuidNew", Campo::txtGuidNew, "", 0, 0, "{0A1B}\n", "{0A1B}"},
      {"txtGuidNew", Campo::txtGuidNew, "{0A1B}", 0, 0, "\n", "{0A1B}"},
  };
  for (const auto& c : casi) {
    auto* e = Controllo<QLineEdit>(c.nome);
    finestra->ImpostaTesto(c.campo, c.prima);
    e->setSelection(c.inizio, c.lunghezza);
    e->insert(QString::fromUtf8(c.incollato));
    EXPECT_EQ(e->text().toStdString(), c.dopo) << c.prima << " + " << c.incollato;
  }
}

TEST_F(UiTest, UnaRigaLungaSiLeggeTuttaConLaBarraOrizzontale) {
  EXPECT_EQ(log->textElideMode(), Qt::ElideNone);
  // A line a few pixels wider than the list, in the font it is shown in.
  const auto lunga = [this](const char* font, const std::string& coda) {
    QFont f = log->font();
    f.setFamily(QString::fromUtf8(font));
    const QFontMetrics fm(f);
    std::string riga = "Backup di ";
    while (fm.horizontalAdvance(QString::fromStdString(riga + coda)) < log->viewport()->width() + 3) riga += "X";
    return riga + coda;
  };
  const auto passo = [this](const std::string& riga) {
    finestra->LogAddItem(riga);
    finestra->LogSelect(finestra->LogCount() - 1);
    finestra->LogRefresh();
  };
  const struct {
    const char* caso;
    std::function<void()> righe;
  } kCasi[] = {
      {"the long line last", [&] { passo(lunga("Tahoma", "")); }},
      {"a short one after it",
       [&] {
         passo("corta");
         passo(lunga("Tahoma", ""));
         passo("Pronto");
       }},
      {"grown when written over",
       [&] {
         const std::string riga = lunga("Tahoma", " in corso... OK!");
         passo(riga.substr(0, riga.size() - 4));
         finestra->LogSetItem(0, riga);
         finestra->LogRefresh();
         passo("Pronto");
       }},
      {"wider in the report's font",
       [&] {
         passo(lunga("Courier New", ""));  // narrower in Tahoma, where it fits
         passo("Pronto");
         finestra->LogSetFontName("Courier New");
         finestra->LogRefresh();
       }},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(c.caso);
    finestra->LogClear();
    finestra->LogSetFontName("Tahoma");
    c.righe();
    QApplication::processEvents();
    int larghezza = 0;
    for (int i = 0; i < log->count(); ++i)
      larghezza = std::max(larghezza, log->fontMetrics().horizontalAdvance(log->item(i)->text()));
    EXPECT_GE(log->horizontalScrollBar()->maximum(), larghezza - log->viewport()->width());
    EXPECT_TRUE(log->horizontalScrollBar()->isVisible());
  }
  // Cleared, the log has nothing to scroll to.
  finestra->LogClear();
  passo("Pronto");
  QApplication::processEvents();
  EXPECT_EQ(log->horizontalScrollBar()->maximum(), 0);
}

TEST_F(UiTest, AltConUnaLetteraNonScriveNelCampo) {
  const struct {
    const char* campo;
    char tasto;
    Qt::KeyboardModifiers modificatori;
    const char* testo;  // the field's text after the key
  } kCasi[] = {
      {"txtCommenti", 's', Qt::AltModifier, ""},
      {"txtCommenti", 'S', Qt::AltModifier | Qt::ShiftModifier, ""},
      {"txtVersioneRevisione", '5', Qt::AltModifier, ""},
      {"txtGuidOld", 'a', Qt::AltModifier, ""},
      {"txtCommenti", '@', Qt::ControlModifier | Qt::AltModifier, "@"},  // AltGr on Windows
      {"txtCommenti", 's', Qt::NoModifier, "s"},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(std::string(c.campo) + " " + c.tasto);
    auto* e = Controllo<QLineEdit>(c.campo);
    e->clear();
    e->setFocus();
    QTest::keyClick(e, c.tasto, c.modificatori);
    EXPECT_EQ(e->text().toStdString(), c.testo);
  }
}

TEST_F(UiTest, IPulsantiDeiBoxInItaliano) {
  QStringList testi;
  risposta = [&](QMessageBox& box) {
    for (QAbstractButton* b : box.buttons()) testi << b->text().remove(QLatin1Char('&'));
    box.defaultButton()->click();
  };
  finestra->MsgBox("?", kStileOkAnnullaDomanda, "CompilaWexo");
  finestra->MsgBox("?", kStileSiNoDomanda, "CompilaWexo");
  testi.sort();
  EXPECT_EQ(testi.join(QLatin1Char(',')).toStdString(), "Annulla,No,OK,Sì");
}

TEST_F(UiTest, ICampiInUtf8ELaCasellaATreStati) {
  finestra->ImpostaTesto(Campo::txtNomeSocieta, "Società è");
  EXPECT_EQ(Controllo<QLineEdit>("txtNomeSocieta")->text(), QStringLiteral("Società è"));
  EXPECT_EQ(finestra->Testo(Campo::txtNomeSocieta), "Società è");
  finestra->ImpostaTesto(Campo::txtGuidOld, "{6B3E2F10-0000-4C1D-9A2B-000000000001}");
  EXPECT_EQ(finestra->Testo(Campo::txtGuidOld), "{6B3E2F10-0000-4C1D-9A2B-000000000001}");
  auto* chk = Controllo<QCheckBox>("chkIncrementoAutomatico");
  for (int v : {0, 1, 2, 0}) {
    finestra->ImpostaIncrementoAutomatico(v);
    EXPECT_EQ(finestra->ValoreIncrementoAutomatico(), v);
  }
  // Only the program greys the box: a click checks a grey box, and clicks
  // then toggle between checked and clear.
  finestra->ImpostaIncrementoAutomatico(2);
  QTest::mouseClick(chk, Qt::LeftButton);
  EXPECT_EQ(finestra->ValoreIncrementoAutomatico(), 1);
  QTest::mouseClick(chk, Qt::LeftButton);
  EXPECT_EQ(finestra->ValoreIncrementoAutomatico(), 0);
  QTest::mouseClick(chk, Qt::LeftButton);
  EXPECT_EQ(finestra->ValoreIncrementoAutomatico(), 1);
  EXPECT_THROW(finestra->ImpostaIncrementoAutomatico(3), ErroreRuntime);
}

}  // namespace
}  // namespace cw::test
