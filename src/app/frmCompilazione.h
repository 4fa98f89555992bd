#pragma once
// frmCompilazione: the program's one window. It owns the services and the
// catalogue, shows the controls of the form, and is the Ui and the Campi the
// commands talk to. Each button or menu entry whose command is in the
// command table runs that command from its click.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "base/ui.h"
#include "commands/campi.h"
#include "commands/comandi.h"
#include "commands/contesto.h"
#include "commands/servizi.h"
#include "platform/attesa.h"

class QLineEdit;
class QListWidget;
class QMenu;
class QMessageBox;
class QScrollArea;

namespace cw {

class frmCompilazione : public QMainWindow, public Ui, public Campi, public Attesa {
  Q_OBJECT

 public:
  // fileIni: the settings file's host path; empty: the platform's own.
  explicit frmCompilazione(std::function<std::string()> fileIni = {}, QWidget* parent = nullptr);
  ~frmCompilazione() override;

  // Ui: the log lstInformazioni, boxes, pointer, event pump.
  void LogClear() override;
  void LogAddItem(const std::string& line) override;
  int LogCount() const override;
  std::string LogItem(int index) const override;
  void LogSetItem(int index, const std::string& line) override;
  void LogSelect(int index) override;
  void LogRefresh() override;
  void LogSetFontName(const std::string& name) override;
  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  void SetMousePointer(int pointer) override;
  void DoEvents() override;
  // Off, the window takes no input but in its log, which the user may scroll
  // back; the controls that cannot act are greyed for the whole command.
  void SetEnabled(bool enabled) override { bloccato_ = !enabled; }
  bool InputBloccato() const { return bloccato_; }

  // Attesa: while a program runs (a build, the viewer, the registration
  // worker) the event pump runs, so the window paints and answers the
  // desktop; it takes no input and no command, and refuses to close.
  int Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) override;

  // Campi: the fields over their widgets.
  std::string Testo(Campo campo) const override;
  void ImpostaTesto(Campo campo, const std::string& testo) override;
  bool OpzioneSelezionata(Compatibilita opzione) const override;
  void SelezionaOpzione(Compatibilita opzione) override;
  int ValoreIncrementoAutomatico() const override;
  void ImpostaIncrementoAutomatico(int valore) override;

  Contesto& ContestoComandi() { return *ctx_; }

  // Makes the click of the button or menu entry named nome run gestore,
  // in place of what it ran before. False when there is no such control.
  bool CollegaComando(const QString& nome, Gestore gestore);
  // True from the click that starts a command to the command's end.
  bool ComandoInCorso() const { return inCorso_; }

  // Tests answer boxes instead of a user: the box is shown, not run
  // modally, and handed to the interceptor, which clicks a button, presses
  // a key or closes it; the answer is read from the box afterwards.
  using IntercettoreMessaggi = std::function<void(QMessageBox&)>;
  void IntercettaMessaggi(IntercettoreMessaggi intercettore) { intercettore_ = std::move(intercettore); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* oggetto, QEvent* evento) override;

 private:
  void Form_Initialize();
  void CreaControlli();
  void CreaMenu();
  void AggiornaTabOpzioni();
  void Form_Load();
  void Esegui(Gestore gestore);
  void AdattaAlloSchermo();
  void ApriMenu();
  QLineEdit* Casella(Campo campo) const;
  bool Proprio(QObject* oggetto) const;
  bool NelLog(QObject* oggetto) const;

  std::unique_ptr<Servizi> servizi_;
  std::unique_ptr<Contesto> ctx_;
  std::function<std::string()> fileIni_;
  QListWidget* lstInformazioni_ = nullptr;
  QWidget* area_ = nullptr;
  QScrollArea* scorrimento_ = nullptr;
  QMenu* strumenti_ = nullptr;
  std::map<QString, QObject*> comandi_;  // buttons and menu entries by name
  std::map<QObject*, QMetaObject::Connection> collegamenti_;
  IntercettoreMessaggi intercettore_;
  bool inCorso_ = false;
  bool bloccato_ = false;
  bool avvisoChiusura_ = false;  // the close box is up: a second request adds none
  int posizioneLog_ = 0;         // where the program last left the log's view
};

}  // namespace cw
