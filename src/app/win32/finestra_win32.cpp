#include "app/win32/finestra_win32.h"

#include <algorithm>
#include <exception>
#include <tuple>
#include <vector>
#include "app/win32/anteprima_win32.h"
#include "app/win32/caratteri_win32.h"
#include "app/win32/menu_win32.h"
#include "app/win32/pulsante_win32.h"
#include "base/errors.h"
#include "commands/chiusura.h"
#include "commands/comandi.h"
#include "commands/controlli.h"
#include "platform/fine_su_segnale.h"
#include "platform/windows/attesa_win32.h"

namespace cw {

namespace {

constexpr wchar_t kClasseFinestra[] = L"CwFrmCompilazione";
constexpr UINT kMsgProblema = WM_APP + 1;

bool Input(UINT msg) {
  return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
         (msg >= WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

FinestraCompilazione::FinestraCompilazione(std::function<std::string()> fileIni) : fileIni_(std::move(fileIni)) {
  // Form_Initialize
  servizi_ = std::make_unique<Servizi>(*this, OpzioniPiattaforma{.programma = "compilawexo", .attesa = this},
                                       CreaServiziPiattaforma);
}

FinestraCompilazione::~FinestraCompilazione() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (carattereLog_ != fuori_) DeleteObject(carattereLog_);
  DeleteObject(fuori_);
  DeleteObject(dentro_);
}

HWND FinestraCompilazione::Crea(HINSTANCE istanza) {
  RegistraClassiControlli(istanza);
  WNDCLASSW wc{};
  if (!GetClassInfoW(istanza, kClasseFinestra, &wc)) {
    wc.lpfnWndProc = &FinestraCompilazione::Proc;
    wc.hInstance = istanza;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClasseFinestra;
    RegisterClassW(&wc);
  }
  const int dpi = DpiSchermo();
  fuori_ = CreaCarattere(kCarattereFinestra, dpi);
  dentro_ = CreaCarattere(kCarattereContenitori, dpi);
  carattereLog_ = fuori_;

  // Nothing moves or resizes: a fixed border, no maximize button; the size
  // is the client area's plus the frame and the menu bar. On a screen too
  // small for it the client area scrolls (AdattaAlloSchermo).
  const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  cliente_ = {PixelDaTwipsWin32(kLarghezzaClientTwips, dpi), PixelDaTwipsWin32(kAltezzaClientTwips, dpi)};
  RECT r{0, 0, cliente_.cx, cliente_.cy};
  AdjustWindowRectEx(&r, stile, TRUE, WS_EX_CONTROLPARENT);
  HMENU menu = CreaMenuStrumenti(nomiMenu_);
  CreateWindowExW(WS_EX_CONTROLPARENT, kClasseFinestra, L"Compilazione Batch Orbalis", stile, CW_USEDEFAULT,
                  CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, menu, istanza, this);
  if (!hwnd_) return nullptr;
  controlli_ = CreaControlli(hwnd_, istanza, dpi, fuori_, dentro_);
  log_ = Controllo("lstInformazioni");

  ctx_ = std::make_unique<Contesto>(servizi_->Contesto(*this, *this));
  if (fileIni_) ctx_->fileIni = fileIni_;
  // The viewer program shows the error file; the preview has its window.
  ctx_->mostraAnteprima = [this](const std::string& testo) { MostraAnteprima(hwnd_, testo); };
  for (const VoceComando& voce : TabellaComandi()) gestori_[voce.nome] = voce.gestore;

  SelezionaOpzione(kCompatibilitaPredefinita);
  AdattaAlloSchermo();
  Form_Load();
  // Said once the window is up, which stays open: the user can read it,
  // set the environment right and start again.
  if (!servizi_->Problema().empty()) PostMessageW(hwnd_, kMsgProblema, 0, 0);
  return hwnd_;
}

HWND FinestraCompilazione::Controllo(const std::string& nome) const {
  const auto it = controlli_.perNome.find(nome);
  return it == controlli_.perNome.end() ? nullptr : it->second;
}

void FinestraCompilazione::Form_Load() {
  servizi_->CaricaFinestra(*ctx_);
  SelezionaOpzione(kCompatibilitaPredefinita);
}

LRESULT CALLBACK FinestraCompilazione::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* f = static_cast<FinestraCompilazione*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
    f->hwnd_ = hwnd;
  }
  auto* f = reinterpret_cast<FinestraCompilazione*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return f ? f->Gestisci(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT FinestraCompilazione::Gestisci(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: Comando(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_DRAWITEM: DisegnaPulsante(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_SETCURSOR:
      // Over every control and the frame alike while a command runs: the
      // controls ask their parents first, and so up to here.
      if (puntatore_ != kPuntatorePredefinito) {
        SetCursor(CursorePuntatore(puntatore_));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // A close that arrives while a command pumps events is refused, and the
      // user is told why; the command is never left behind a closed window.
      if (!inCorso_) {
        DestroyWindow(hwnd_);
      } else if (!avvisoChiusura_) {
        avvisoChiusura_ = true;
        ChiudereDuranteComando(*this);
        avvisoChiusura_ = false;
      }
      return 0;
    case WM_MENUCHAR:
      // Alt+S opens "Strumenti", whose caption marks no access key.
      if ((LOWORD(wp) == L's' || LOWORD(wp) == L'S') && reinterpret_cast<HMENU>(lp) == GetMenu(hwnd_))
        return MAKELRESULT(0, MNC_EXECUTE);
      break;
    case WM_HSCROLL: Scorri(SB_HORZ, LOWORD(wp)); return 0;
    case WM_VSCROLL: Scorri(SB_VERT, LOWORD(wp)); return 0;
    case WM_DESTROY: PostQuitMessage(uscita_); return 0;
    case kMsgProblema: MsgBox(servizi_->Problema(), kStileCritico, kTitoloApplicazione); return 0;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void FinestraCompilazione::Comando(int id, int notifica) {
  if (notifica != BN_CLICKED) return;
  std::string nome;
  if (const auto m = nomiMenu_.find(id); m != nomiMenu_.end())
    nome = m->second;
  else if (const auto c = controlli_.nomiPerId.find(id); c != controlli_.nomiPerId.end())
    nome = c->second;
  if (nome == kIncrementoAutomatico.controllo) {
    // A click toggles between checked and clear: only the program greys it.
    ImpostaIncrementoAutomatico(ValoreIncrementoAutomatico() == 1 ? 0 : 1);
    return;
  }
  if (const auto g = gestori_.find(nome); g != gestori_.end()) Esegui(g->second);
}

bool FinestraCompilazione::CollegaComando(const std::string& nome, Gestore gestore) {
  bool esiste = Controllo(nome) != nullptr;
  for (const auto& [id, voce] : nomiMenu_) esiste = esiste || voce == nome;
  if (esiste) gestori_[nome] = gestore;
  return esiste;
}

void FinestraCompilazione::Esegui(Gestore gestore) {
  if (inCorso_) return;
  // What cannot act during the command looks so; afterwards exactly what
  // was enabled before is enabled again, and the focus goes back.
  HWND fuoco = GetFocus();
  std::vector<HWND> spenti;
  for (const DescrizioneControllo& d : ControlliFinestra())
    if (HWND w = Controllo(d.nome); SpentoDuranteComando(d.tipo) && w && IsWindowEnabled(w)) spenti.push_back(w);
  for (HWND w : spenti) EnableWindow(w, FALSE);
  HMENU barra = GetMenu(hwnd_);
  const UINT menuPrima = GetMenuState(barra, 0, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED);
  EnableMenuItem(barra, 0, MF_BYPOSITION | MF_GRAYED);
  DrawMenuBar(hwnd_);
  // Shown greyed now: the first steps of a command run without the loop.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  EseguiClic(*ctx_, gestore, inCorso_, [this](int uscita) {
    uscita_ = uscita;
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  });
  if (!IsWindow(hwnd_)) return;
  for (HWND w : spenti) EnableWindow(w, TRUE);
  EnableMenuItem(barra, 0, MF_BYPOSITION | (menuPrima ? menuPrima : MF_ENABLED));
  DrawMenuBar(hwnd_);
  if (fuoco && IsWindow(fuoco) && IsWindowEnabled(fuoco) && IsChild(hwnd_, fuoco)) SetFocus(fuoco);
}

void FinestraCompilazione::AdattaAlloSchermo() {
  // The form is never scaled down, its letters would not stay readable: on a
  // screen smaller than the window the window takes the work area and its
  // client area scrolls, so every control can still be reached.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT lavoro = monitor.rcWork;
  const DWORD stile = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  RECT voluta{0, 0, cliente_.cx, cliente_.cy};
  AdjustWindowRectEx(&voluta, stile & ~(WS_HSCROLL | WS_VSCROLL), TRUE, WS_EX_CONTROLPARENT);
  const int larghezza = std::min<int>(voluta.right - voluta.left, lavoro.right - lavoro.left);
  const int altezza = std::min<int>(voluta.bottom - voluta.top, lavoro.bottom - lavoro.top);
  const bool taglia = larghezza < voluta.right - voluta.left || altezza < voluta.bottom - voluta.top;
  if (!taglia) return;
  SetWindowPos(hwnd_, nullptr, lavoro.left, lavoro.top, larghezza, altezza, SWP_NOZORDER | SWP_NOACTIVATE);
  // Each bar takes room from the other side: twice settles both.
  for (int giro = 0; giro < 2; ++giro) {
    RECT c;
    GetClientRect(hwnd_, &c);
    for (const auto& [barra, intera, vista] :
         {std::tuple{SB_HORZ, cliente_.cx, c.right}, std::tuple{SB_VERT, cliente_.cy, c.bottom}}) {
      SCROLLINFO si{sizeof si,
                    SIF_RANGE | SIF_PAGE,
                    0,
                    static_cast<int>(intera) - 1,
                    static_cast<UINT>(std::max<LONG>(vista, 1)),
                    0,
                    0};
      SetScrollInfo(hwnd_, barra, &si, TRUE);
    }
  }
}

void FinestraCompilazione::Scorri(int barra, int azione) {
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(hwnd_, barra, &si)) return;
  int pos = si.nPos;
  const int passo = 16 * DpiSchermo() / 96;
  switch (azione) {
    case SB_LINEUP: pos -= passo; break;
    case SB_LINEDOWN: pos += passo; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  PortaA(barra, pos);
}

void FinestraCompilazione::PortaA(int barra, int pos) {
  SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd_, barra, &si, TRUE);  // kept within the range
  LONG& corrente = barra == SB_HORZ ? scorrimento_.x : scorrimento_.y;
  const int nuovo = GetScrollPos(hwnd_, barra);
  const int delta = static_cast<int>(corrente) - nuovo;
  if (delta == 0) return;
  corrente = nuovo;
  ScrollWindowEx(hwnd_, barra == SB_HORZ ? delta : 0, barra == SB_VERT ? delta : 0, nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void FinestraCompilazione::MostraControllo(HWND w) {
  // Tab brings a control out of sight into view.
  RECT c, r;
  GetClientRect(hwnd_, &c);
  if (c.right >= cliente_.cx && c.bottom >= cliente_.cy) return;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  const auto porta = [this](int barra, LONG inizio, LONG fine, LONG vista) {
    const LONG corrente = barra == SB_HORZ ? scorrimento_.x : scorrimento_.y;
    if (inizio < 0)
      PortaA(barra, static_cast<int>(corrente + inizio));
    else if (fine > vista)
      PortaA(barra, static_cast<int>(corrente + std::min(fine - vista, inizio)));
  };
  porta(SB_HORZ, r.left, r.right, c.right);
  porta(SB_VERT, r.top, r.bottom, c.bottom);
}

bool FinestraCompilazione::Tabula(bool indietro) {
  // By the form's tab index across the containers, as the form does; the
  // option group is entered at its selected button.
  const auto& v = controlli_.tabulazione;
  const int n = static_cast<int>(v.size());
  if (n == 0) return false;
  HWND fuoco = GetFocus();
  int i = -1;
  for (int k = 0; k < n; ++k)
    if (v[k] == fuoco || IsChild(v[k], fuoco)) i = k;
  for (int passo = 1; passo <= n; ++passo) {
    const int k = ((i < 0 ? (indietro ? 0 : -1) : i) + (indietro ? -passo : passo) % n + 2 * n) % n;
    HWND w = v[k];
    if (!IsWindowVisible(w) || !IsWindowEnabled(w)) continue;
    const LONG_PTR stile = GetWindowLongPtrW(w, GWL_STYLE);
    wchar_t classe[16]{};
    GetClassNameW(w, classe, 16);
    const bool pulsante = lstrcmpiW(classe, L"BUTTON") == 0;
    if (pulsante && (stile & BS_TYPEMASK) == BS_AUTORADIOBUTTON && SendMessageW(w, BM_GETCHECK, 0, 0) != BST_CHECKED)
      continue;
    SetFocus(w);
    MostraControllo(w);
    if (lstrcmpiW(classe, L"EDIT") == 0) SendMessageW(w, EM_SETSEL, 0, -1);
    return true;
  }
  return false;
}

bool FinestraCompilazione::Ricevibile(const MSG& msg) const {
  // While a command runs: the log scrolls, the frame moves, minimizes and
  // takes the close request, and the system keys (Alt+F4) still work.
  if (msg.hwnd == log_ || IsChild(log_, msg.hwnd)) return true;
  if (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK) return msg.hwnd == hwnd_;
  return msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP || msg.message == WM_SYSCHAR;
}

bool FinestraCompilazione::Filtra(MSG& msg) {
  const bool nostro = hwnd_ && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd));
  if (!nostro) return true;
  if ((inAttesa_ || bloccato_) && Input(msg.message) && !Ricevibile(msg)) return false;
  // F10 opens "Strumenti" at once, as Alt+S does (WM_MENUCHAR).
  if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F10 &&
      !(GetMenuState(GetMenu(hwnd_), 0, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED))) {
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_KEYMENU, L's');
    return false;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && Tabula(GetKeyState(VK_SHIFT) < 0)) return false;
  // Enter clicks the command button that has the focus; the form has no
  // default button.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && (msg.lParam & (1 << 30)) == 0 &&
      (GetWindowLongPtrW(msg.hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) {
    wchar_t classe[16]{};
    GetClassNameW(msg.hwnd, classe, 16);
    if (lstrcmpiW(classe, L"BUTTON") == 0) {
      SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
      return false;
    }
  }
  return !IsDialogMessageW(hwnd_, &msg);
}

void FinestraCompilazione::Pompa() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // For the loop that ends the program.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!Filtra(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int FinestraCompilazione::Ciclo() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!Filtra(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void FinestraCompilazione::DoEvents() { Pompa(); }

int FinestraCompilazione::Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) {
  std::vector<HANDLE> maniglie(n);
  for (std::size_t i = 0; i < n; ++i) maniglie[i] = reinterpret_cast<HANDLE>(oggetti[i]);
  const DWORD conteggio = static_cast<DWORD>(n);
  const bool prima = inAttesa_;
  inAttesa_ = true;
  const DWORD inizio = GetTickCount();
  for (;;) {
    DWORD resto = INFINITE;
    if (ms >= 0) {
      const DWORD passati = GetTickCount() - inizio;
      const DWORD limite = static_cast<DWORD>(ms);
      resto = passati >= limite ? 0 : limite - passati;
    }
    const DWORD r = MsgWaitForMultipleObjects(conteggio, maniglie.data(), FALSE, resto, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0 + conteggio) {
      Pompa();
      continue;
    }
    inAttesa_ = prima;
    return EsitoAttesaWin32(r, n);
  }
}

}  // namespace cw
