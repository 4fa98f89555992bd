#include "app/frmCompilazione.h"

#include <poll.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "app/caratteri.h"
#include "app/controlli.h"
#include "app/finestra_anteprima.h"
#include "app/limite_digitazione.h"
#include "app/lista_log.h"
#include "app/messaggi.h"
#include "app/pulsante.h"
#include "app/puntatore.h"
#include "base/errors.h"
#include "commands/chiusura.h"
#include "commands/controlli.h"
#include "platform/fine_su_segnale.h"

namespace cw {

namespace {

QString DaUtf8(const std::string& utf8) { return QString::fromStdString(utf8); }

// Which of the descriptors is ready now, as Attesa answers, without waiting.
int GiaPronto(const OggettoAttesa* oggetti, std::size_t n) {
  std::vector<pollfd> fds(n);
  for (std::size_t i = 0; i < n; ++i) fds[i] = pollfd{static_cast<int>(oggetti[i]), POLLIN, 0};
  if (::poll(fds.data(), fds.size(), 0) < 0) return kAttesaFallita;
  for (std::size_t i = 0; i < n; ++i)
    if (fds[i].revents != 0) return static_cast<int>(i);
  return kAttesaScaduta;
}

// A click toggles between checked and clear, as on the original platform:
// only the program greys the box, and a click on a grey box checks it.
class CasellaDiControllo : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

}  // namespace

frmCompilazione::frmCompilazione(std::function<std::string()> fileIni, QWidget* parent)
    : QMainWindow(parent), fileIni_(std::move(fileIni)) {
  Form_Initialize();
  CaricaCaratteri();
  setObjectName(QStringLiteral("frmCompilazione"));
  setWindowTitle(QStringLiteral("Compilazione Batch Orbalis"));
  setFont(CarattereFinestra());
  CreaControlli();
  CreaMenu();
  // Nothing moves or resizes: the window keeps the size of its client
  // area and menu bar, and offers no maximize button; on a screen too small
  // for it the client area scrolls (AdattaAlloSchermo).
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  AdattaAlloSchermo();

  ctx_ = std::make_unique<Contesto>(servizi_->Contesto(*this, *this));
  if (fileIni_) ctx_->fileIni = fileIni_;
  // The viewer program shows the error file; the preview has its window.
  ctx_->mostraAnteprima = [this](const std::string& testo) { MostraAnteprima(this, DaUtf8(testo)); };

  for (const VoceComando& voce : TabellaComandi()) CollegaComando(QString::fromUtf8(voce.nome), voce.gestore);

  Form_Load();
  QCoreApplication::instance()->installEventFilter(this);
  // Said once the window is up, which stays open: the user can read it,
  // set WINEPREFIX and start again.
  if (!servizi_->Problema().empty())
    QTimer::singleShot(0, this, [this] { MsgBox(servizi_->Problema(), kStileCritico, kTitoloApplicazione); });
}

// Form_Terminate: the members go, fso last of what the commands use.
frmCompilazione::~frmCompilazione() = default;

void frmCompilazione::Form_Initialize() {
  // Wine's first start in a prefix takes seconds: the busy pointer meanwhile,
  // then the one the command had.
  auto avvioWine = [prima = int{kPuntatorePredefinito}](const std::string&, bool inizio) mutable {
    if (inizio) {
      prima = PuntatoreCorrente();
      ImpostaPuntatore(kPuntatoreClessidra);
    } else {
      ImpostaPuntatore(prima);
    }
  };
  servizi_ = std::make_unique<Servizi>(
      *this, OpzioniPiattaforma{.programma = "compilawexo", .attesa = this, .avvioWine = std::move(avvioWine)},
      CreaServiziPiattaforma);
}

void frmCompilazione::CreaControlli() {
  scorrimento_ = new QScrollArea(this);
  scorrimento_->setObjectName(QStringLiteral("scorrimentoClient"));
  scorrimento_->setFrameShape(QFrame::NoFrame);
  // Not a stop of its own: Tab goes from control to control, and the area
  // scrolls to show the one that takes the focus, however it gets it.
  scorrimento_->setFocusPolicy(Qt::NoFocus);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* ora) {
    if (ora && area_ && area_->isAncestorOf(ora)) scorrimento_->ensureWidgetVisible(ora, 0, 0);
  });
  auto* area = new QWidget;
  area->setObjectName(QStringLiteral("areaClient"));
  area->setFixedSize(kLarghezzaClientTwips / kTwipsPerPixel, kAltezzaClientTwips / kTwipsPerPixel);
  scorrimento_->setWidget(area);
  area_ = area;
  setCentralWidget(scorrimento_);

  std::map<QString, QWidget*> contenitori{{QString(), area}};
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    const QString nome = QString::fromUtf8(d.nome);
    const QString testo = QString::fromUtf8(d.testo);
    QWidget* contenitore = contenitori.at(QString::fromUtf8(d.contenitore));
    QWidget* w = nullptr;
    switch (d.tipo) {
      case TipoControllo::Lista: {
        auto* l = new ListaLog(contenitore);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setSortingEnabled(false);
        // Long lines are shown whole, reached by a horizontal scroll bar.
        l->setTextElideMode(Qt::ElideNone);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        lstInformazioni_ = l;
        w = l;
        break;
      }
      case TipoControllo::Cornice:
        // No layout: children sit at their coordinates from the frame's
        // outer top-left corner, the caption drawn in the top border.
        w = new QGroupBox(SenzaTastiAccesso(testo), contenitore);
        contenitori[nome] = w;
        break;
      case TipoControllo::Contenitore:
        w = new QWidget(contenitore);
        // The picture boxes carry their own font; their children take it.
        w->setFont(CarattereContenitori(devicePixelRatioF()));
        contenitori[nome] = w;
        break;
      case TipoControllo::Pulsante:
        w = new PulsanteComando(testo, contenitore);
        comandi_[nome] = w;
        break;
      case TipoControllo::Testo: {
        auto* e = new QLineEdit(contenitore);
        e->setValidator(new LimiteDigitazione(e, d.lunghezzaMassima));
        w = e;
        break;
      }
      case TipoControllo::Etichetta: {
        auto* l = new QLabel(testo, contenitore);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setWordWrap(true);
        w = l;
        break;
      }
      case TipoControllo::Casella: w = new CasellaDiControllo(SenzaTastiAccesso(testo), contenitore); break;
      case TipoControllo::Opzione:
        // Auto-exclusive among the buttons of one container: Picture1
        // holds the three, so they form the group.
        w = new QRadioButton(SenzaTastiAccesso(testo), contenitore);
        connect(static_cast<QRadioButton*>(w), &QRadioButton::toggled, this, [this] { AggiornaTabOpzioni(); });
        break;
    }
    w->setObjectName(nome);
    w->setGeometry(PixelDaTwips(d.left, d.top, d.width, d.height));
    w->setProperty("TabIndex", d.tab);
  }
  // Tab in reading order, frame by frame (commands/controlli.h).
  QWidget* prima = nullptr;
  for (const std::string& nome : OrdineTabulazione()) {
    QWidget* w = findChild<QWidget*>(QString::fromStdString(nome));
    if (prima) setTabOrder(prima, w);
    prima = w;
  }

  SelezionaOpzione(kCompatibilitaPredefinita);
}

void frmCompilazione::AggiornaTabOpzioni() {
  // Tab enters the option group at its selected button, the group's one
  // tab stop; the arrow keys move within it.
  for (const DescrizioneOpzione& o : kOpzioniCompatibilita) {
    auto* r = findChild<QRadioButton*>(QString::fromUtf8(o.controllo));
    if (!r) continue;  // still being made
    const int politica = r->isChecked() ? (r->focusPolicy() | Qt::TabFocus) : (r->focusPolicy() & ~Qt::TabFocus);
    r->setFocusPolicy(static_cast<Qt::FocusPolicy>(politica));
  }
}

void frmCompilazione::CreaMenu() {
  QMenu* strumenti = menuBar()->addMenu(SenzaTastiAccesso(QString::fromUtf8(kTestoMenuStrumenti)));
  strumenti_ = strumenti;
  strumenti->setObjectName(QString::fromUtf8(kNomeMenuStrumenti));
  strumenti->menuAction()->setObjectName(QString::fromUtf8(kNomeMenuStrumenti));
  for (const VoceMenu& v : MenuStrumenti()) {
    if (!v.testo) {
      strumenti->addSeparator()->setObjectName(QString::fromUtf8(v.nome));
      continue;
    }
    QAction* a = strumenti->addAction(SenzaTastiAccesso(QString::fromUtf8(v.testo)));
    a->setObjectName(QString::fromUtf8(v.nome));
    comandi_[a->objectName()] = a;
  }
}

void frmCompilazione::Form_Load() {
  servizi_->CaricaFinestra(*ctx_);
  SelezionaOpzione(kCompatibilitaPredefinita);
}

bool frmCompilazione::CollegaComando(const QString& nome, Gestore gestore) {
  const auto it = comandi_.find(nome);
  if (it == comandi_.end()) return false;
  QObject* controllo = it->second;
  if (const auto prima = collegamenti_.find(controllo); prima != collegamenti_.end()) disconnect(prima->second);
  const auto esegui = [this, gestore] { Esegui(gestore); };
  if (auto* pulsante = qobject_cast<QAbstractButton*>(controllo))
    collegamenti_[controllo] = connect(pulsante, &QAbstractButton::clicked, this, esegui);
  else if (auto* azione = qobject_cast<QAction*>(controllo))
    collegamenti_[controllo] = connect(azione, &QAction::triggered, this, esegui);
  return true;
}

void frmCompilazione::Esegui(Gestore gestore) {
  if (inCorso_) return;
  // What cannot act during the command looks so; afterwards exactly what
  // was enabled before is enabled again, and the focus goes back.
  QWidget* fuoco = QApplication::focusWidget();
  std::vector<QWidget*> spenti;
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    if (!SpentoDuranteComando(d.tipo)) continue;
    QWidget* w = findChild<QWidget*>(QString::fromUtf8(d.nome));
    if (w && !w->testAttribute(Qt::WA_Disabled)) spenti.push_back(w);
  }
  for (QWidget* w : spenti) w->setEnabled(false);
  QAction* menu = strumenti_->menuAction();
  const bool menuAcceso = menu->isEnabled();
  menu->setEnabled(false);
  // Shown greyed now: the first steps of a command run without the event loop.
  repaint();
  EseguiClic(*ctx_, gestore, inCorso_, [](int uscita) { QCoreApplication::exit(uscita); });
  for (QWidget* w : spenti) w->setEnabled(true);
  menu->setEnabled(menuAcceso);
  if (fuoco && fuoco->isEnabled() && fuoco->window() == this) fuoco->setFocus(Qt::OtherFocusReason);
}

void frmCompilazione::AdattaAlloSchermo() {
  // The form is never scaled down, its letters would not stay readable: on a
  // screen smaller than the window the client area keeps its size and
  // scrolls, so every control can still be reached.
  const QSize intera = area_->size();
  QSize spazio = intera;
  if (QScreen* schermo = screen()) {
    const QSize cornice = isVisible() ? frameGeometry().size() - geometry().size() : QSize();
    spazio = schermo->availableGeometry().size() - cornice - QSize(0, menuBar()->sizeHint().height());
  }
  QSize misura = intera.boundedTo(spazio);
  // A side cut short takes a scroll bar off the other one.
  const int barra = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scorrimento_);
  if (misura.width() < intera.width()) misura.setHeight(std::min(intera.height() + barra, spazio.height()));
  if (misura.height() < intera.height()) misura.setWidth(std::min(intera.width() + barra, spazio.width()));
  scorrimento_->setFixedSize(misura);
}

void frmCompilazione::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (QWindow* w = windowHandle(); w && !w->property("cwSchermoSeguito").toBool()) {
    w->setProperty("cwSchermoSeguito", true);
    connect(w, &QWindow::screenChanged, this, [this] {
      // Another screen may have another pixel ratio, and less room.
      for (const DescrizioneControllo& d : ControlliFinestra())
        if (d.tipo == TipoControllo::Contenitore)
          findChild<QWidget*>(QString::fromUtf8(d.nome))->setFont(CarattereContenitori(devicePixelRatioF()));
      AdattaAlloSchermo();
    });
  }
  AdattaAlloSchermo();
}

void frmCompilazione::ApriMenu() {
  // Alt+S and F10 open "Strumenti" at once; its caption shows no access key.
  if (!strumenti_->menuAction()->isEnabled()) return;
  menuBar()->setActiveAction(strumenti_->menuAction());
}

bool frmCompilazione::Proprio(QObject* oggetto) const {
  // This window's own widgets, its menus included; the boxes it opens are
  // windows of their own and keep their input.
  if (!oggetto->isWidgetType()) return false;
  for (auto* w = static_cast<QWidget*>(oggetto); w; w = w->parentWidget()) {
    if (w == this) return true;
    if (w->isWindow() && !qobject_cast<QMenu*>(w)) return false;
  }
  return false;
}

bool frmCompilazione::NelLog(QObject* oggetto) const {
  for (QObject* o = oggetto; o; o = o->parent())
    if (o == lstInformazioni_) return true;
  return false;
}

bool frmCompilazione::eventFilter(QObject* oggetto, QEvent* evento) {
  // Alt with a letter is a menu's access key on Windows and never reaches a
  // field; the X server hands Qt the letter's text all the same, and a text
  // box would type it. No caption has an access key, so the key does nothing
  // (AltGr, reported as Ctrl+Alt or as a key of its own, still types).
  if (evento->type() == QEvent::KeyPress) {
    const auto* tasto = static_cast<const QKeyEvent*>(evento);
    const Qt::KeyboardModifiers m = tasto->modifiers() & ~Qt::KeypadModifier;
    if (((tasto->key() == Qt::Key_S && m == Qt::AltModifier) || (tasto->key() == Qt::Key_F10 && m == Qt::NoModifier)) &&
        Proprio(oggetto)) {
      ApriMenu();
      return true;
    }
    if ((m & Qt::AltModifier) && !(m & Qt::ControlModifier) && !tasto->text().isEmpty() &&
        tasto->text().at(0).isPrint() && Proprio(oggetto))
      return true;
  }
  if (!bloccato_) return false;
  switch (evento->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    // The log scrolls: the user may read back while lines are added.
    case QEvent::ContextMenu: return Proprio(oggetto) && !NelLog(oggetto);
    default: return false;
  }
}

int frmCompilazione::Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) {
  if (const int pronto = GiaPronto(oggetti, n); pronto != kAttesaScaduta) return pronto;
  const bool prima = bloccato_;
  bloccato_ = true;
  QEventLoop ciclo;
  std::vector<std::unique_ptr<QSocketNotifier>> avvisi;
  for (std::size_t i = 0; i < n; ++i) {
    avvisi.push_back(std::make_unique<QSocketNotifier>(static_cast<qintptr>(oggetti[i]), QSocketNotifier::Read));
    connect(avvisi.back().get(), &QSocketNotifier::activated, &ciclo, &QEventLoop::quit);
  }
  QTimer tempo;
  tempo.setSingleShot(true);
  connect(&tempo, &QTimer::timeout, &ciclo, &QEventLoop::quit);
  if (ms >= 0) tempo.start(ms);
  ciclo.exec();
  bloccato_ = prima;
  return GiaPronto(oggetti, n);
}

void frmCompilazione::closeEvent(QCloseEvent* event) {
  // A close that arrives while a command pumps events is refused, and the
  // user is told why; the command is never left behind a closed window.
  if (!inCorso_) {
    QMainWindow::closeEvent(event);
    return;
  }
  event->ignore();
  if (avvisoChiusura_) return;
  avvisoChiusura_ = true;
  ChiudereDuranteComando(*this);
  avvisoChiusura_ = false;
}

// --- Ui ---

void frmCompilazione::LogClear() {
  lstInformazioni_->clear();
  posizioneLog_ = 0;
}

void frmCompilazione::LogAddItem(const std::string& line) { lstInformazioni_->addItem(DaUtf8(line)); }

int frmCompilazione::LogCount() const { return lstInformazioni_->count(); }

std::string frmCompilazione::LogItem(int index) const {
  if (index < 0 || index >= lstInformazioni_->count())
    SollevaErrore(kChiamataNonValida, "log line " + std::to_string(index));
  return lstInformazioni_->item(index)->text().toStdString();
}

void frmCompilazione::LogSetItem(int index, const std::string& line) {
  if (index < 0 || index >= lstInformazioni_->count())
    SollevaErrore(kChiamataNonValida, "log line " + std::to_string(index));
  lstInformazioni_->item(index)->setText(DaUtf8(line));
}

void frmCompilazione::LogSelect(int index) {
  if (index == -1) {
    lstInformazioni_->setCurrentRow(-1);
    lstInformazioni_->clearSelection();
    return;
  }
  if (index < 0 || index >= lstInformazioni_->count())
    SollevaErrore(kChiamataNonValida, "log line " + std::to_string(index));
  // The last line is brought into view unless the user scrolled away from
  // where the program left the view, and not back to the end (the line
  // before it in sight): they keep reading where they are.
  QScrollBar* barra = lstInformazioni_->verticalScrollBar();
  const int posizione = barra->value();
  bool segue = index != lstInformazioni_->count() - 1 || posizione == posizioneLog_;
  if (!segue) {
    lstInformazioni_->doItemsLayout();
    segue = posizione >= barra->maximum() - 1;  // rows: the list scrolls per item
  }
  lstInformazioni_->setCurrentRow(index);
  if (!segue) {
    barra->setValue(posizione);
    return;
  }
  lstInformazioni_->scrollToItem(lstInformazioni_->item(index));
  posizioneLog_ = barra->value();
}

void frmCompilazione::LogRefresh() {
  // The list lays its rows out later, from the event loop; do it now, then
  // paint list, rows and scroll bar at once, without running the loop.
  lstInformazioni_->doItemsLayout();
  lstInformazioni_->repaint();
}

void frmCompilazione::LogSetFontName(const std::string& name) {
  QFont f = lstInformazioni_->font();
  f.setFamily(DaUtf8(name));
  lstInformazioni_->setFont(f);
}

int frmCompilazione::MsgBox(const std::string& prompt, int style, const std::string& title) {
  QMessageBox box(this);
  PreparaMessaggio(box, DaUtf8(prompt), style, DaUtf8(title));
  if (intercettore_) {
    box.show();
    intercettore_(box);
    const int risposta = RispostaMessaggio(box, box.clickedButton());
    box.hide();
    repaint();
    return risposta;
  }
  box.exec();
  box.hide();
  // The command goes on without the event loop (stamping files, say): the
  // window is painted over the box's place now, not at the command's end.
  repaint();
  return RispostaMessaggio(box, box.clickedButton());
}

void frmCompilazione::SetMousePointer(int pointer) { ImpostaPuntatore(pointer); }

void frmCompilazione::DoEvents() { QCoreApplication::processEvents(); }

// --- Campi ---

QLineEdit* frmCompilazione::Casella(Campo campo) const {
  return findChild<QLineEdit*>(QString::fromUtf8(DescrizioneDi(campo).controllo));
}

std::string frmCompilazione::Testo(Campo campo) const { return Casella(campo)->text().toStdString(); }

void frmCompilazione::ImpostaTesto(Campo campo, const std::string& testo) {
  LimiteDigitazione::ImpostaTesto(*Casella(campo), DaUtf8(testo));
}

bool frmCompilazione::OpzioneSelezionata(Compatibilita opzione) const {
  return findChild<QRadioButton*>(QString::fromUtf8(OpzioneDi(opzione).controllo))->isChecked();
}

void frmCompilazione::SelezionaOpzione(Compatibilita opzione) {
  findChild<QRadioButton*>(QString::fromUtf8(OpzioneDi(opzione).controllo))->setChecked(true);
}

int frmCompilazione::ValoreIncrementoAutomatico() const {
  switch (findChild<QCheckBox*>(QString::fromUtf8(kIncrementoAutomatico.controllo))->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
  }
}

void frmCompilazione::ImpostaIncrementoAutomatico(int valore) {
  auto* chk = findChild<QCheckBox*>(QString::fromUtf8(kIncrementoAutomatico.controllo));
  switch (valore) {
    case 0: chk->setCheckState(Qt::Unchecked); break;
    case 1: chk->setCheckState(Qt::Checked); break;
    case 2: chk->setCheckState(Qt::PartiallyChecked); break;
    default: SollevaErrore(kChiamataNonValida, "check box value " + std::to_string(valore));
  }
}

}  // namespace cw
