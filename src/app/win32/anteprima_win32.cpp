#include "app/win32/anteprima_win32.h"

#include "app/win32/caratteri_win32.h"
#include "platform/windows/testo_wide_win32.h"
#include "tools/indirizzi_base_dll.h"

namespace cw {

namespace {

constexpr wchar_t kClasse[] = L"CwAnteprima";
constexpr int kIdTesto = 1, kIdChiudi = 2;
constexpr int kAltezzaPulsante = 25, kMargine = 8;

void Disponi(HWND finestra) {
  RECT r;
  GetClientRect(finestra, &r);
  MoveWindow(GetDlgItem(finestra, kIdTesto), kMargine, kMargine, r.right - 2 * kMargine,
             r.bottom - 3 * kMargine - kAltezzaPulsante, TRUE);
  MoveWindow(GetDlgItem(finestra, kIdChiudi), r.right - kMargine - 80, r.bottom - kMargine - kAltezzaPulsante, 80,
             kAltezzaPulsante, TRUE);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE: Disponi(hwnd); return 0;
    case WM_ACTIVATE:
      // The text takes the keys whenever the window is active: arrows,
      // pages, Ctrl+Home and Ctrl+End to its start and end.
      if (LOWORD(wp) != WA_INACTIVE) SetFocus(GetDlgItem(hwnd, kIdTesto));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == kIdChiudi || LOWORD(wp) == IDCANCEL) ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_CLOSE: ShowWindow(hwnd, SW_HIDE); return 0;
    case WM_DESTROY: {
      auto carattere = reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(hwnd, kIdTesto), WM_GETFONT, 0, 0));
      if (carattere) DeleteObject(carattere);
      return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

HWND Crea(HWND proprietario) {
  HINSTANCE istanza = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(istanza, kClasse, &wc)) {
    wc.lpfnWndProc = Proc;
    wc.hInstance = istanza;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClasse;
    RegisterClassW(&wc);
  }
  HWND f = CreateWindowExW(0, kClasse, L"Anteprima modifiche", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 720,
                           520, proprietario, nullptr, istanza, nullptr);
  HWND testo = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL, 0,
      0, 0, 0, f, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdTesto)), istanza, nullptr);
  SendMessageW(testo, WM_SETFONT, reinterpret_cast<WPARAM>(CreaCarattereFisso(kFontReport, DpiSchermo())), FALSE);
  HWND chiudi = CreateWindowExW(0, L"BUTTON", L"Chiudi", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                                f, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdChiudi)), istanza, nullptr);
  SendMessageW(chiudi, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  Disponi(f);
  return f;
}

}  // namespace

HWND MostraAnteprima(HWND proprietario, const std::string& testo) {
  HWND f = nullptr;
  while ((f = FindWindowExW(nullptr, f, kClasse, nullptr)) && GetWindow(f, GW_OWNER) != proprietario) {
  }
  if (!f) f = Crea(proprietario);
  // The edit control breaks lines at CR LF only, and its text ends at a NUL:
  // a file's NUL byte is shown as the symbol for it.
  std::wstring righe;
  for (wchar_t c : Wide(testo)) {
    if (c == L'\n') righe += L'\r';
    righe += c == L'\0' ? L'\x2400' : c;
  }
  HWND testoDiff = GetDlgItem(f, kIdTesto);
  SetWindowTextW(testoDiff, righe.c_str());
  SendMessageW(testoDiff, EM_SETSEL, 0, 0);
  ShowWindow(f, SW_SHOW);
  SetForegroundWindow(f);
  SetFocus(testoDiff);
  return f;
}

}  // namespace cw
