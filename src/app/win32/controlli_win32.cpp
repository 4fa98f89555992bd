#include "app/win32/controlli_win32.h"

#include <algorithm>
#include <utility>

#include "commands/controlli.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {

namespace {

constexpr wchar_t kClasseContenitore[] = L"CwContenitore";
WNDPROC g_procPulsante = nullptr;

// Frames and picture boxes hold controls; their clicks and edits belong to
// the window, which runs the commands.
LRESULT Inoltra(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& fatto) {
  fatto = msg == WM_COMMAND || msg == WM_DRAWITEM;
  if (!fatto) return 0;
  return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
}

LRESULT CALLBACK ProcContenitore(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  bool fatto = false;
  const LRESULT r = Inoltra(hwnd, msg, wp, lp, fatto);
  return fatto ? r : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ProcCornice(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    // A group box paints its border and caption only; the window clips its
    // children, so the frame fills its own inside.
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  bool fatto = false;
  const LRESULT r = Inoltra(hwnd, msg, wp, lp, fatto);
  return fatto ? r : CallWindowProcW(g_procPulsante, hwnd, msg, wp, lp);
}

struct Classe {
  const wchar_t* nome;
  DWORD stile;
  DWORD stileEsteso;
};

Classe ClasseDi(const DescrizioneControllo& d, bool primaOpzione) {
  switch (d.tipo) {
    case TipoControllo::Lista:
      return {L"LISTBOX", WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    case TipoControllo::Cornice: return {L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case TipoControllo::Contenitore: return {kClasseContenitore, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    // Drawn by the window (pulsante_win32.h): long captions wrap.
    case TipoControllo::Pulsante: return {L"BUTTON", BS_OWNERDRAW, 0};
    case TipoControllo::Testo: return {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    // A label reaches one pixel into the text box under it (its Height ends
    // below the box's Top): clipped by its siblings and below them all, it
    // never paints over their borders, as the form's windowless labels don't.
    case TipoControllo::Etichetta: return {L"STATIC", SS_LEFT | WS_CLIPSIBLINGS, 0};
    // Three states: the program may grey it; a click toggles checked and
    // clear, which the window does itself.
    case TipoControllo::Casella: return {L"BUTTON", BS_3STATE, 0};
    case TipoControllo::Opzione: return {L"BUTTON", BS_AUTORADIOBUTTON | (primaOpzione ? WS_GROUP : 0u), 0};
  }
  return {L"STATIC", 0, 0};
}

}  // namespace

void RegistraClassiControlli(HINSTANCE istanza) {
  WNDCLASSW wc{};
  if (GetClassInfoW(istanza, kClasseContenitore, &wc)) return;
  wc.lpfnWndProc = ProcContenitore;
  wc.hInstance = istanza;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClasseContenitore;
  RegisterClassW(&wc);
}

ControlliCreati CreaControlli(HWND finestra, HINSTANCE istanza, int dpi, HFONT fuori, HFONT dentro) {
  ControlliCreati creati;
  std::map<std::string, HWND> contenitori{{"", finestra}};
  std::map<HWND, bool> dentroContenitore{{finestra, false}};
  std::map<HWND, bool> haOpzioni;
  const auto& tabella = ControlliFinestra();
  for (size_t i = 0; i < tabella.size(); ++i) {
    const DescrizioneControllo& d = tabella[i];
    HWND padre = contenitori.at(d.contenitore);
    const bool primaOpzione = d.tipo == TipoControllo::Opzione && !haOpzioni[padre];
    if (d.tipo == TipoControllo::Opzione) haOpzioni[padre] = true;
    const Classe c = ClasseDi(d, primaOpzione);
    const DWORD stile =
        WS_CHILD | WS_VISIBLE | c.stile | (PrendeFuoco(d.tipo) ? WS_TABSTOP : 0u) |
        (d.tipo == TipoControllo::Cornice || d.tipo == TipoControllo::Contenitore ? WS_CLIPCHILDREN : 0u);
    const int id = kPrimoIdControllo + static_cast<int>(i);
    HWND w = CreateWindowExW(c.stileEsteso, c.nome, Wide(d.testo).c_str(), stile, PixelDaTwipsWin32(d.left, dpi),
                             PixelDaTwipsWin32(d.top, dpi), PixelDaTwipsWin32(d.width, dpi),
                             PixelDaTwipsWin32(d.height, dpi), padre, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             istanza, nullptr);
    const bool interno = dentroContenitore[padre] || d.tipo == TipoControllo::Contenitore;
    dentroContenitore[w] = interno;
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(interno ? dentro : fuori), FALSE);
    if (d.tipo == TipoControllo::Cornice) {
      g_procPulsante =
          reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProcCornice)));
    }
    if (d.tipo == TipoControllo::Etichetta)
      SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (d.tipo == TipoControllo::Cornice || d.tipo == TipoControllo::Contenitore) contenitori[d.nome] = w;
    if (d.tipo == TipoControllo::Testo && d.lunghezzaMassima > 0)
      SendMessageW(w, EM_LIMITTEXT, static_cast<WPARAM>(d.lunghezzaMassima), 0);
    creati.perNome[d.nome] = w;
    creati.nomiPerId[id] = d.nome;
  }
  // Tab in reading order, frame by frame (commands/controlli.h).
  for (const std::string& nome : OrdineTabulazione()) creati.tabulazione.push_back(creati.perNome.at(nome));
  return creati;
}

}  // namespace cw
