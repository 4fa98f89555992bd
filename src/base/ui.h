#pragma once
// What the core needs of the window: the log list, message boxes, the
// screen-wide mouse pointer and one turn of the event pump. The Qt window,
// the batch front end and the tests' recording double implement it, so every
// command runs the same in all three.

#include <string>

namespace cw {

// Mouse pointer values.
enum Puntatore : int {
  kPuntatorePredefinito = 0,
  kPuntatoreClessidra = 11,
  kPuntatoreFrecciaClessidra = 13,
};

// Message box styles (buttons + icon) and answers, with the numbers the
// original platform uses.
enum StileMessaggio : int {
  kStileCritico = 16,           // critical-stop icon, OK
  kStileOkAnnullaDomanda = 33,  // question icon, OK and Cancel
  kStileSiNoDomanda = 36,       // question icon, Yes and No
  kStileEsclamativo = 48,       // exclamation icon, OK
  kStileInformativo = 64,       // information icon, OK
};
enum Risposta : int { kRispostaOk = 1, kRispostaAnnulla = 2, kRispostaSi = 6, kRispostaNo = 7 };

// The application title every message box of ours carries.
inline constexpr const char* kTitoloApplicazione = "CompilaWexo";

class Ui {
 public:
  virtual ~Ui() = default;

  // The log lstInformazioni. Texts are UTF-8.
  virtual void LogClear() = 0;
  virtual void LogAddItem(const std::string& line) = 0;
  virtual int LogCount() const = 0;
  virtual std::string LogItem(int index) const = 0;
  virtual void LogSetItem(int index, const std::string& line) = 0;
  virtual void LogSelect(int index) = 0;
  virtual void LogRefresh() = 0;
  virtual void LogSetFontName(const std::string& name) = 0;

  // A modal box; returns the answer (kRispostaOk for the one-button styles).
  virtual int MsgBox(const std::string& prompt, int style, const std::string& title) = 0;
  virtual void SetMousePointer(int pointer) = 0;
  // One turn of the window's event pump.
  virtual void DoEvents() = 0;
  // The window's Enabled property: off, it repaints but takes no input. A
  // face without a window ignores it.
  virtual void SetEnabled(bool /*enabled*/) {}
};

}  // namespace cw
