// The window's face: every control of the form where the form puts it, the
// tab order, the fonts, the menu.

#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <map>

#include "app/caratteri.h"
#include "commands/controlli.h"
#include "finestra_fixture.h"
#include "support/ordine_tabulazione.h"

namespace cw::test {
namespace {

// The form's own table, kept apart from the window's so a slip in either
// shows. Positions in twips.
struct Riga {
  const char* nome;
  const char* classe;  // "QWidget": a bare container (picture box)
  const char* testo;
  const char* contenitore;  // "": the client area
  int left, top, width, height, tab;
};

const Riga kModulo[] = {
    {"lstInformazioni", "QListWidget", "", "", 120, 3960, 10095, 2010, 40},
    {"frameProprietaProgetto", "QGroupBox", "Proprità progetto", "", 6960, 0, 3255, 3855, 30},
    {"cmdApplica", "QPushButton", "Applica", "frameProprietaProgetto", 1080, 3360, 1095, 375, 39},
    {"txtNomeSocieta", "QLineEdit", "", "frameProprietaProgetto", 120, 2760, 2895, 315, 38},
    {"txtNomeProdotto", "QLineEdit", "", "frameProprietaProgetto", 120, 2040, 2895, 315, 36},
    {"txtCopyRight", "QLineEdit", "", "frameProprietaProgetto", 120, 1200, 2895, 315, 34},
    {"txtCommenti", "QLineEdit", "", "frameProprietaProgetto", 120, 480, 2895, 315, 32},
    {"lblNomeSocietà", "QLabel", "Nome società", "frameProprietaProgetto", 120, 2520, 2895, 255, 37},
    {"lblNomeProdotto", "QLabel", "Nome prodotto", "frameProprietaProgetto", 120, 1800, 2895, 255, 35},
    {"lblCopyRight", "QLabel", "Copyright", "frameProprietaProgetto", 120, 960, 2895, 255, 33},
    {"lblCommenti", "QLabel", "Commenti", "frameProprietaProgetto", 120, 240, 2895, 255, 31},
    {"FrameGuid", "QGroupBox", "GUID", "", 4560, 1920, 2295, 1935, 23},
    {"Picture5", "QWidget", "", "FrameGuid", 600, 1440, 1215, 375, 28},
    {"cmdChangeGuid", "QPushButton", "Sostituisci", "Picture5", 0, 0, 1095, 375, 29},
    {"txtGuidOld", "QLineEdit", "", "FrameGuid", 120, 480, 2055, 315, 25},
    {"txtGuidNew", "QLineEdit", "", "FrameGuid", 120, 1080, 2055, 315, 24},
    {"lblGuidOld", "QLabel", "Vecchia guid", "FrameGuid", 120, 240, 2055, 255, 27},
    {"lblGuidNew", "QLabel", "Nuova guid", "FrameGuid", 120, 840, 2055, 255, 26},
    {"frameVersione", "QGroupBox", "Imposta versione progetto", "", 120, 2280, 4335, 1575, 10},
    {"txtVersioneRevisione", "QLineEdit", "", "frameVersione", 2280, 600, 855, 315, 11},
    {"txtVersionePrincipale", "QLineEdit", "", "frameVersione", 120, 600, 855, 315, 13},
    {"txtVersioneSecondario", "QLineEdit", "", "frameVersione", 1200, 600, 855, 315, 12},
    {"Picture4", "QWidget", "", "frameVersione", 120, 960, 4095, 495, 20},
    {"chkIncrementoAutomatico", "QCheckBox", "Incremento automatico", "Picture4", 0, 120, 1935, 375, 22},
    {"cmdImpostaVersione", "QPushButton", "Backup e versione", "Picture4", 2400, 0, 1695, 495, 21},
    {"lblVersionePrincipale", "QLabel", "Principale:", "frameVersione", 120, 360, 735, 255, 16},
    {"lblVersioneSecondario", "QLabel", "Secondario:", "frameVersione", 1200, 360, 855, 255, 15},
    {"lblVersioneRevisione", "QLabel", "Revisione:", "frameVersione", 2280, 360, 975, 255, 14},
    {"frameTipoCompatibilita", "QGroupBox", "Tipo compatibilità progetto", "", 120, 0, 4335, 2175, 1},
    {"Picture2", "QWidget", "", "frameTipoCompatibilita", 2400, 240, 1815, 1695, 6},
    {"cmdTutto", "QPushButton", "Backup, compatibilità e compilazione", "Picture2", 0, 1200, 1695, 495, 9},
    {"cmdBackupCompatibilita", "QPushButton", "Backup e compatibilità", "Picture2", 0, 600, 1695, 495, 8},
    {"cmdBackup", "QPushButton", "Solo backup", "Picture2", 0, 0, 1695, 495, 7},
    {"Picture1", "QWidget", "", "frameTipoCompatibilita", 240, 360, 1815, 1455, 2},
    {"optTipoCompatibilitaBinaria", "QRadioButton", "Binaria", "Picture1", 0, 960, 1095, 255, 5},
    {"optTipoCompatibilitaProgetto", "QRadioButton", "Progetto", "Picture1", 0, 480, 1095, 255, 4},
    {"optTipoCompatibilitaNessuna", "QRadioButton", "Nessuna", "Picture1", 0, 0, 1095, 255, 3},
    {"frameGruppo3", "QGroupBox", "Registra/rimuovi componenti", "", 4560, 0, 2295, 1815, 0},
    {"Picture3", "QWidget", "", "frameGruppo3", 120, 360, 2055, 1335, 17},
    {"cmdRimuovi", "QPushButton", "Rimuovi", "Picture3", 0, 720, 2055, 495, 19},
    {"cmdRegistra", "QPushButton", "Registra", "Picture3", 0, 0, 2055, 495, 18},
};

QString Didascalia(QWidget* w) {
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return {};
}

class ControlliTest : public FinestraTest {};

TEST_F(ControlliTest, OgniControlloDelModuloConContenitoreGeometriaDidascaliaETab) {
  Apri();
  QWidget* area = Controllo<QWidget>("areaClient");
  std::map<QString, std::vector<QString>> attesiPerContenitore;
  for (const Riga& r : kModulo) {
    SCOPED_TRACE(r.nome);
    QWidget* w = Controllo<QWidget>(r.nome);
    ASSERT_NE(w, nullptr);
    if (std::string(r.classe) == "QWidget") {
      EXPECT_STREQ(w->metaObject()->className(), "QWidget");
    } else {
      EXPECT_TRUE(w->inherits(r.classe)) << w->metaObject()->className();
    }
    QWidget* atteso = *r.contenitore ? Controllo<QWidget>(r.contenitore) : area;
    EXPECT_EQ(w->parentWidget(), atteso);
    EXPECT_EQ(w->geometry(), QRect(r.left / 15, r.top / 15, r.width / 15, r.height / 15));
    EXPECT_EQ(w->property("TabIndex").toInt(), r.tab);
    if (!qobject_cast<QLineEdit*>(w)) {
      EXPECT_EQ(Didascalia(w), QString::fromUtf8(r.testo));
    }
    attesiPerContenitore[QString::fromUtf8(r.contenitore)].push_back(QString::fromUtf8(r.nome));
  }
  // Creation order within each container.
  for (const auto& [contenitore, attesi] : attesiPerContenitore) {
    QWidget* c = contenitore.isEmpty() ? area : Controllo<QWidget>(contenitore.toUtf8().constData());
    std::vector<QString> trovati;
    for (QObject* figlio : c->children())
      if (std::find(attesi.begin(), attesi.end(), figlio->objectName()) != attesi.end())
        trovati.push_back(figlio->objectName());
    EXPECT_EQ(trovati, attesi) << contenitore.toStdString();
  }
}

TEST_F(ControlliTest, FinestraFissaConAreaClienteSottoIlMenu) {
  Apri();
  EXPECT_EQ(finestra->windowTitle(), QStringLiteral("Compilazione Batch Orbalis"));
  EXPECT_EQ(finestra->centralWidget()->size(), QSize(689, 405));
  EXPECT_EQ(finestra->centralWidget()->y(), finestra->menuBar()->height());
  EXPECT_EQ(finestra->minimumSize(), finestra->maximumSize());
  EXPECT_EQ(finestra->size(), QSize(689, 405 + finestra->menuBar()->height()));
}

TEST_F(ControlliTest, NessunTastoDiAccessoENessunPulsantePredefinito) {
  Apri();
  for (QAbstractButton* b : finestra->findChildren<QAbstractButton*>()) {
    EXPECT_TRUE(QKeySequence::mnemonic(b->text()).isEmpty()) << b->objectName().toStdString();
    if (auto* p = qobject_cast<QPushButton*>(b)) {
      EXPECT_FALSE(p->isDefault());
      EXPECT_FALSE(p->autoDefault());
    }
  }
  for (QGroupBox* g : finestra->findChildren<QGroupBox*>()) EXPECT_TRUE(QKeySequence::mnemonic(g->title()).isEmpty());
  for (QAction* a : finestra->findChildren<QAction*>()) EXPECT_TRUE(QKeySequence::mnemonic(a->text()).isEmpty());
}

TEST_F(ControlliTest, TabRaggiungeOgniControlloChePrendeIlFuoco) {
  Apri();
  // The form's stored flag on txtNomeSocieta and cmdChangeGuid no longer
  // keeps them from the keyboard; of the option group only the selected
  // button is a tab stop.
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    QWidget* w = Controllo<QWidget>(d.nome);
    const bool fermata =
        PrendeFuoco(d.tipo) && (d.tipo != TipoControllo::Opzione || Controllo<QRadioButton>(d.nome)->isChecked());
    EXPECT_EQ((w->focusPolicy() & Qt::TabFocus) != 0, fermata) << d.nome;
  }
}

TEST_F(ControlliTest, IlTastoTabPassaPerIlGruppoDiOpzioniUnaVoltaSola) {
  Apri();
  finestra->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(finestra.get()));
  Controllo<QWidget>("lstInformazioni")->setFocus();
  std::vector<QString> attesi;
  for (const std::string& nome : test::OrdineTabulazioneAtteso()) attesi.push_back(QString::fromStdString(nome));
  std::vector<QString> visti;
  for (size_t i = 0; i < attesi.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visti.push_back(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
  }
  EXPECT_EQ(visti, attesi);
  // Shift+Tab walks the same way back.
  for (size_t i = attesi.size() - 1; i > 0; --i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), attesi[i - 1]);
  }

  // Selecting another option moves the group's tab stop to it.
  QTest::mouseClick(Controllo<QWidget>("optTipoCompatibilitaProgetto"), Qt::LeftButton);
  Controllo<QWidget>("lstInformazioni")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("optTipoCompatibilitaProgetto"));
}

TEST_F(ControlliTest, OpzioniInUnSoloGruppoConBinariaSelezionata) {
  Apri();
  auto* nessuna = Controllo<QRadioButton>("optTipoCompatibilitaNessuna");
  auto* progetto = Controllo<QRadioButton>("optTipoCompatibilitaProgetto");
  auto* binaria = Controllo<QRadioButton>("optTipoCompatibilitaBinaria");
  EXPECT_TRUE(binaria->isChecked());
  EXPECT_FALSE(nessuna->isChecked() || progetto->isChecked());
  QTest::mouseClick(nessuna, Qt::LeftButton);
  EXPECT_TRUE(nessuna->isChecked());
  EXPECT_FALSE(binaria->isChecked());
  EXPECT_TRUE(finestra->OpzioneSelezionata(Compatibilita::Nessuna));
  EXPECT_FALSE(finestra->OpzioneSelezionata(Compatibilita::Binaria));
  finestra->SelezionaOpzione(Compatibilita::Progetto);
  EXPECT_TRUE(progetto->isChecked());
  EXPECT_FALSE(nessuna->isChecked());
}

TEST_F(ControlliTest, TahomaNellaFinestraEMsSansSerifNeiContenitori) {
  Apri();
  EXPECT_EQ(QFontInfo(finestra->font()).family(), QStringLiteral("Tahoma"));
  EXPECT_DOUBLE_EQ(finestra->font().pointSizeF(), 8.25);
  const std::vector<std::string> contenitori = {"Picture1", "Picture2", "Picture3", "Picture4", "Picture5"};
  for (const Riga& r : kModulo) {
    SCOPED_TRACE(r.nome);
    QWidget* w = Controllo<QWidget>(r.nome);
    const bool dentroPicture = std::find(contenitori.begin(), contenitori.end(), r.contenitore) != contenitori.end() ||
                               std::find(contenitori.begin(), contenitori.end(), r.nome) != contenitori.end();
    EXPECT_EQ(QFontInfo(w->font()).family(),
              dentroPicture ? QStringLiteral("MS Sans Serif") : QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(w->font().pointSizeF(), 8.25);
    EXPECT_FALSE(w->font().bold());
  }
  // At any other pixel ratio the picture boxes take the outline face, never
  // the bitmap one, whose letters would not scale with the layout.
  for (const auto& [rapporto, famiglia] : {std::pair{1.0, "MS Sans Serif"}, {1.5, "Tahoma"}, {2.0, "Tahoma"}}) {
    const QFont f = CarattereContenitori(rapporto);
    EXPECT_EQ(QFontInfo(f).family(), QString::fromUtf8(famiglia)) << rapporto;
    EXPECT_LE(f.pointSizeF(), 8.25);
  }
}

TEST_F(ControlliTest, IlLogPassaACourierNewEDTornaATahoma) {
  Apri();
  auto* log = Controllo<QListWidget>("lstInformazioni");
  finestra->LogSetFontName("Courier New");
  // No Courier New here: fontconfig's metric twin stands in for it.
  EXPECT_EQ(QFontInfo(log->font()).family(), QStringLiteral("Liberation Mono"));
  EXPECT_DOUBLE_EQ(log->font().pointSizeF(), 8.25);
  finestra->LogSetFontName("Tahoma");
  EXPECT_EQ(QFontInfo(log->font()).family(), QStringLiteral("Tahoma"));
}

TEST_F(ControlliTest, MenuStrumentiConLeSueVoci) {
  Apri();
  const QList<QAction*> menu = finestra->menuBar()->actions();
  ASSERT_EQ(menu.size(), 1);
  EXPECT_EQ(menu[0]->text(), QStringLiteral("Strumenti"));
  QMenu* strumenti = menu[0]->menu();
  ASSERT_NE(strumenti, nullptr);
  EXPECT_EQ(strumenti->objectName(), QStringLiteral("mnuStrumenti"));
  const QList<QAction*> voci = strumenti->actions();
  const char* nomi[] = {
      "mnuGeneraVbg",           "mnuVbBuild",          "mnuSeparatore", "mnuIndirizziBaseDll", "mnuSovrapposizioniDll",
      "mnuApplicaIndirizziDll", "mnuGrafoRiferimenti", "mnuRipristina", "mnuSeparatore2",      "mnuAnteprimaModifiche",
      "mnuRiprendiCompilazione"};
  const char* testi[] = {"Genera .vbg",
                         "Vb-Build",
                         "",
                         "Indirizzi di base DLL",
                         "Sovrapposizioni indirizzi DLL",
                         "Applica indirizzi proposti",
                         "Grafo dei riferimenti",
                         "Ripristina file interrotti",
                         "",
                         "Anteprima modifiche",
                         "Riprendi compilazione"};
  ASSERT_EQ(voci.size(), 11);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(voci[i]->objectName(), QString::fromUtf8(nomi[i]));
    EXPECT_EQ(voci[i]->text(), QString::fromUtf8(testi[i]));
    EXPECT_EQ(voci[i]->isSeparator(), i == 2 || i == 8);
  }
  // Alt+S and F10 open it at once; the caption shows no access key.
  finestra->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(finestra.get()));
  for (const auto& [tasto, modificatori] :
       {std::pair{Qt::Key_S, Qt::AltModifier}, std::pair{Qt::Key_F10, Qt::NoModifier}}) {
    Controllo<QWidget>("txtCommenti")->setFocus();
    QTest::keyClick(Controllo<QWidget>("txtCommenti"), tasto, modificatori);
    EXPECT_TRUE(QTest::qWaitFor([&] { return strumenti->isVisible(); }, 1000)) << tasto;
    EXPECT_TRUE(Controllo<QLineEdit>("txtCommenti")->text().isEmpty());
    strumenti->hide();
  }
}

}  // namespace
}  // namespace cw::test
