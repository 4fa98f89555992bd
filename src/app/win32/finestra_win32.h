#pragma once
// frmCompilazione over the Win32 API: the program's one window, built from
// the form's control table. It owns the services and the catalogue, is the
// Ui and the Campi the commands talk to, and the Attesa that keeps the
// window painting while a program of theirs runs. A click on a button or a
// menu entry runs the command of the same name in the command table.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/win32/controlli_win32.h"
#include "base/ui.h"
#include "commands/campi.h"
#include "commands/comandi.h"
#include "commands/contesto.h"
#include "commands/servizi.h"
#include "platform/attesa.h"

namespace cw {

// The shape of a pointer value: 11 the hourglass, 13 the arrow with the
// hourglass, anything else the arrow. Never none: a system without the shape
// asked for gets the hourglass, then the arrow, since SetCursor(nullptr)
// would hide the pointer.
HCURSOR CursorePuntatore(int puntatore);

class FinestraCompilazione : public Ui, public Campi, public Attesa {
 public:
  // fileIni: the settings file's host path; empty: the platform's own.
  explicit FinestraCompilazione(std::function<std::string()> fileIni = {});
  ~FinestraCompilazione() override;
  FinestraCompilazione(const FinestraCompilazione&) = delete;
  FinestraCompilazione& operator=(const FinestraCompilazione&) = delete;

  // The window with its controls and menu, not yet shown; Form_Load has run.
  HWND Crea(HINSTANCE istanza);
  HWND Handle() const { return hwnd_; }
  HWND Controllo(const std::string& nome) const;

  // The message loop until the window is closed; the program's exit status.
  int Ciclo();
  // One message through the window's filters: Tab, the dialog keys, input
  // refused while a command waits. False: it was taken here.
  bool Filtra(MSG& msg);

  // Ui
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
  // back, and its frame (moved, minimized, asked to close); the controls
  // that cannot act are greyed for the whole command.
  void SetEnabled(bool enabled) override { bloccato_ = !enabled; }

  // Attesa: the event pump runs meanwhile; input and commands are refused.
  int Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) override;

  // Campi
  std::string Testo(Campo campo) const override;
  void ImpostaTesto(Campo campo, const std::string& testo) override;
  bool OpzioneSelezionata(Compatibilita opzione) const override;
  void SelezionaOpzione(Compatibilita opzione) override;
  int ValoreIncrementoAutomatico() const override;
  void ImpostaIncrementoAutomatico(int valore) override;

  Contesto& ContestoComandi() { return *ctx_; }
  // Tests run the commands over their own files.
  void ImpostaContesto(std::unique_ptr<Contesto> ctx) { ctx_ = std::move(ctx); }
  bool ComandoInCorso() const { return inCorso_; }
  // Makes the click of the button or menu entry named nome run gestore, in
  // place of what it ran before. False when there is no such control.
  bool CollegaComando(const std::string& nome, Gestore gestore);
  int Puntatore() const { return puntatore_; }

  // Tests answer the boxes instead of a user: the interceptor gets text,
  // style and title and returns the answer.
  using IntercettoreMessaggi = std::function<int(const std::string& testo, int stile, const std::string& titolo)>;
  void IntercettaMessaggi(IntercettoreMessaggi intercettore) { intercettore_ = std::move(intercettore); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Gestisci(UINT msg, WPARAM wp, LPARAM lp);
  void Comando(int id, int notifica);
  void Esegui(Gestore gestore);
  void Form_Load();
  bool Tabula(bool indietro);
  bool Ricevibile(const MSG& msg) const;
  void AdattaAlloSchermo();
  void Scorri(int barra, int azione);
  void PortaA(int barra, int pos);
  void MostraControllo(HWND w);
  void Pompa();
  void AggiornaLarghezzaLog(const std::wstring& riga);
  void SeguiPuntatore();

  std::unique_ptr<Servizi> servizi_;
  std::unique_ptr<Contesto> ctx_;
  std::function<std::string()> fileIni_;
  HWND hwnd_ = nullptr;
  HWND log_ = nullptr;
  HFONT fuori_ = nullptr, dentro_ = nullptr, carattereLog_ = nullptr;
  ControlliCreati controlli_;
  std::map<int, std::string> nomiMenu_;
  std::map<std::string, Gestore> gestori_;
  IntercettoreMessaggi intercettore_;
  int puntatore_ = kPuntatorePredefinito;
  int larghezzaLog_ = 0;
  bool inCorso_ = false;
  bool inAttesa_ = false;
  bool bloccato_ = false;
  bool avvisoChiusura_ = false;  // the close box is up: a second request adds none
  int cimaLog_ = 0;              // the log's top line where the program last left it
  POINT scorrimento_{0, 0};      // how far the client area is scrolled, on a screen too small for it
  SIZE cliente_{0, 0};           // the client area's full size
  int uscita_ = 0;
};

}  // namespace cw
