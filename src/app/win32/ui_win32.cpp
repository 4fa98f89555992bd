// The Ui and the Campi of the Win32 window, over its controls.

#include "app/win32/caratteri_win32.h"
#include "app/win32/finestra_win32.h"
#include "app/win32/messaggi_win32.h"
#include "base/errors.h"
#include "commands/controlli.h"
#include "platform/windows/testo_wide_win32.h"
#include "tools/indirizzi_base_dll.h"

namespace cw {

namespace {

std::wstring TestoFinestra(HWND w) {
  std::wstring t(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
  t.resize(static_cast<size_t>(GetWindowTextW(w, t.data(), static_cast<int>(t.size()))));
  return t;
}

}  // namespace

HCURSOR CursorePuntatore(int puntatore) {
  const bool occupato = puntatore == kPuntatoreClessidra || puntatore == kPuntatoreFrecciaClessidra;
  const wchar_t* forma = puntatore == kPuntatoreClessidra ? IDC_WAIT : occupato ? IDC_APPSTARTING : IDC_ARROW;
  const wchar_t* riserva = occupato ? IDC_WAIT : IDC_ARROW;
  for (const wchar_t* f : {forma, riserva, static_cast<const wchar_t*>(IDC_ARROW)})
    if (HCURSOR c = LoadCursorW(nullptr, f)) return c;
  return nullptr;
}

// --- the log ---

void FinestraCompilazione::LogClear() {
  SendMessageW(log_, LB_RESETCONTENT, 0, 0);
  cimaLog_ = 0;
  larghezzaLog_ = 0;
  SendMessageW(log_, LB_SETHORIZONTALEXTENT, 0, 0);
}

void FinestraCompilazione::AggiornaLarghezzaLog(const std::wstring& riga) {
  // Long lines are shown whole, reached by the horizontal scroll bar.
  HDC dc = GetDC(log_);
  HGDIOBJ prima = SelectObject(dc, carattereLog_);
  SIZE s{};
  GetTextExtentPoint32W(dc, riga.c_str(), static_cast<int>(riga.size()), &s);
  SelectObject(dc, prima);
  ReleaseDC(log_, dc);
  if (s.cx + 4 > larghezzaLog_) {
    larghezzaLog_ = s.cx + 4;
    SendMessageW(log_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(larghezzaLog_), 0);
  }
}

void FinestraCompilazione::LogAddItem(const std::string& line) {
  const std::wstring w = Wide(line);
  SendMessageW(log_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  AggiornaLarghezzaLog(w);
}

int FinestraCompilazione::LogCount() const { return static_cast<int>(SendMessageW(log_, LB_GETCOUNT, 0, 0)); }

std::string FinestraCompilazione::LogItem(int index) const {
  if (index < 0 || index >= LogCount()) SollevaErrore(kChiamataNonValida, "log line " + std::to_string(index));
  std::wstring t(static_cast<size_t>(SendMessageW(log_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0)) + 1, L'\0');
  t.resize(static_cast<size_t>(
      SendMessageW(log_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(t.data()))));
  return Utf8(t);
}

void FinestraCompilazione::LogSetItem(int index, const std::string& line) {
  if (index < 0 || index >= LogCount()) SollevaErrore(kChiamataNonValida, "log line " + std::to_string(index));
  const bool selezionata = SendMessageW(log_, LB_GETCURSEL, 0, 0) == index;
  const std::wstring w = Wide(line);
  SendMessageW(log_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SendMessageW(log_, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str()));
  if (selezionata) SendMessageW(log_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  AggiornaLarghezzaLog(w);
}

void FinestraCompilazione::LogSelect(int index) {
  if (index != -1 && (index < 0 || index >= LogCount()))
    SollevaErrore(kChiamataNonValida, "log line " + std::to_string(index));
  // The selection scrolls the row into view, unless it is the last line and
  // the user scrolled away from where the program left the view, and not
  // back to the end (the line before it in sight): they keep reading there.
  const auto inCima = static_cast<int>(SendMessageW(log_, LB_GETTOPINDEX, 0, 0));
  bool segue = index != LogCount() - 1 || inCima == cimaLog_;
  if (!segue) {
    RECT r;
    GetClientRect(log_, &r);
    const auto altezzaRiga = static_cast<int>(SendMessageW(log_, LB_GETITEMHEIGHT, 0, 0));
    segue = inCima + (altezzaRiga > 0 ? static_cast<int>(r.bottom) / altezzaRiga : 1) >= index;
  }
  SendMessageW(log_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (segue)
    cimaLog_ = static_cast<int>(SendMessageW(log_, LB_GETTOPINDEX, 0, 0));
  else
    SendMessageW(log_, LB_SETTOPINDEX, static_cast<WPARAM>(inCima), 0);
}

void FinestraCompilazione::LogRefresh() {
  RedrawWindow(log_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  SeguiPuntatore();
}

void FinestraCompilazione::SeguiPuntatore() {
  // A walk runs without the message loop, and the system asks a window for
  // its pointer (WM_SETCURSOR) only as it hands it a move of the mouse: each
  // row takes the moves, and only them, so the busy pointer follows the mouse
  // over every control instead of the shape last drawn, or none.
  if (puntatore_ == kPuntatorePredefinito || !hwnd_) return;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
  }
  while (PeekMessageW(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCMOUSEMOVE, PM_REMOVE)) {
  }
}

void FinestraCompilazione::LogSetFontName(const std::string& name) {
  // The base address report lines its addresses up in columns.
  HFONT nuovo = name == kFontReport ? CreaCarattereFisso(name, DpiSchermo()) : CreaCarattere(name, DpiSchermo());
  SendMessageW(log_, WM_SETFONT, reinterpret_cast<WPARAM>(nuovo), TRUE);
  if (carattereLog_ != fuori_) DeleteObject(carattereLog_);
  carattereLog_ = nuovo;
  larghezzaLog_ = 0;
  for (int i = 0; i < LogCount(); ++i) AggiornaLarghezzaLog(Wide(LogItem(i)));
}

// --- boxes, pointer, Enabled ---

int FinestraCompilazione::MsgBox(const std::string& prompt, int style, const std::string& title) {
  if (intercettore_) return intercettore_(prompt, style, title);
  const int risposta = MostraMessaggio(hwnd_, prompt, style, title);
  // The command goes on without the message loop (stamping files, say): the
  // window is painted over the box's place now, not at the command's end.
  if (hwnd_)
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return risposta;
}

void FinestraCompilazione::SetMousePointer(int pointer) {
  puntatore_ = pointer;
  SetCursor(CursorePuntatore(pointer));
}

// --- Campi ---

std::string FinestraCompilazione::Testo(Campo campo) const {
  return Utf8(TestoFinestra(Controllo(DescrizioneDi(campo).controllo)));
}

void FinestraCompilazione::ImpostaTesto(Campo campo, const std::string& testo) {
  // The program's own text is not cut to the typing limit.
  SetWindowTextW(Controllo(DescrizioneDi(campo).controllo), Wide(testo).c_str());
}

bool FinestraCompilazione::OpzioneSelezionata(Compatibilita opzione) const {
  return SendMessageW(Controllo(OpzioneDi(opzione).controllo), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FinestraCompilazione::SelezionaOpzione(Compatibilita opzione) {
  for (const DescrizioneOpzione& o : kOpzioniCompatibilita)
    SendMessageW(Controllo(o.controllo), BM_SETCHECK, o.modo == opzione ? BST_CHECKED : BST_UNCHECKED, 0);
}

int FinestraCompilazione::ValoreIncrementoAutomatico() const {
  return static_cast<int>(SendMessageW(Controllo(kIncrementoAutomatico.controllo), BM_GETCHECK, 0, 0));
}

void FinestraCompilazione::ImpostaIncrementoAutomatico(int valore) {
  if (valore < 0 || valore > 2) SollevaErrore(kChiamataNonValida, "check box value " + std::to_string(valore));
  // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE are 0, 1, 2.
  SendMessageW(Controllo(kIncrementoAutomatico.controllo), BM_SETCHECK, static_cast<WPARAM>(valore), 0);
}

}  // namespace cw
