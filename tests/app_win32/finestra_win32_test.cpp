// The Win32 window on a real display: the form as the table makes it, the
// menu, Tab, real clicks on "Solo backup" over a temporary prefix, a
// run-time error that ends the command but not the window, clicks refused
// while a program is waited for, the preview window.

// Before <windows.h>: its CopyFile and DeleteFile macros would rename the
// file service's members.
#include "support/contesto_prova.h"
#include "support/ordine_tabulazione.h"
#include "support/suite_prova.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/win32/caratteri_win32.h"
#include "app/win32/finestra_win32.h"
#include "base/errors.h"
#include "commands/chiusura.h"
#include "commands/controlli.h"
#include "platform/windows/testo_wide_win32.h"
#include "tools/indirizzi_base_dll.h"

namespace cw::test {
namespace {

struct BoxVisto {
  std::string testo;
  int stile;
  std::string titolo;
};

std::string TestoDi(HWND w) {
  wchar_t t[256]{};
  GetWindowTextW(w, t, 256);
  return Utf8(t);
}

// A real click at the middle of the control: the mouse moved there and
// pressed through the input queue.
void ClicReale(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  INPUT in[3]{};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in[0].mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, in, sizeof(INPUT));
}

int g_altri = 0;
FinestraCompilazione* g_finestra = nullptr;
int g_attese[2] = {};
bool g_attesaFinita = false;
std::vector<std::string> g_accesi;  // the controls enabled during the command
bool g_menuAcceso = true;

// As a build does: a program waited for while the user clicks the check box
// and another command and asks to close the window, then the program's end.
Esito ConAttesa(Contesto&) {
  g_accesi.clear();
  for (const DescrizioneControllo& d : ControlliFinestra())
    if (PrendeFuoco(d.tipo) && IsWindowEnabled(g_finestra->Controllo(d.nome))) g_accesi.push_back(d.nome);
  g_menuAcceso = !(GetMenuState(GetMenu(g_finestra->Handle()), 0, MF_BYPOSITION) & MF_GRAYED);
  ClicReale(g_finestra->Controllo("chkIncrementoAutomatico"));
  ClicReale(g_finestra->Controllo("cmdRegistra"));
  PostMessageW(g_finestra->Handle(), WM_CLOSE, 0, 0);
  HANDLE fine = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const OggettoAttesa handles[] = {reinterpret_cast<OggettoAttesa>(fine)};
  g_attese[0] = g_finestra->Aspetta(handles, 1, 700);
  SetEvent(fine);
  g_attese[1] = g_finestra->Aspetta(handles, 1, 700);
  CloseHandle(fine);
  g_attesaFinita = true;
  return Esito::Completato;
}
Esito ConErrore(Contesto& ctx) {
  ctx.ui.LogAddItem("Backup di B.VBP in corso...");
  SollevaErrore(kFileNonTrovato, "C:\\b.vbp");
}
Esito Altro(Contesto&) {
  ++g_altri;
  return Esito::Completato;
}
Esito ConAnteprima(Contesto& ctx) {
  // A file's NUL byte is in the text, with the rest after it.
  ctx.mostraAnteprima(std::string("--- C:\\X.vbp\n-Citt\0à\n", 22));
  return Esito::Completato;
}

// Inside the menu's own loop: whether the popup is up, then the menu closed.
bool g_menuAperto = false;
void CALLBACK GuardaMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND popup = FindWindowW(L"#32768", nullptr);
  g_menuAperto = g_menuAperto || (popup && IsWindowVisible(popup));
  EndMenu();
}

// The keys pressed in order and let go in reverse.
void Premi(const std::vector<WORD>& tasti) {
  std::vector<INPUT> in(2 * tasti.size());
  for (size_t i = 0; i < tasti.size(); ++i) {
    in[i].type = in[in.size() - 1 - i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = in[in.size() - 1 - i].ki.wVk = tasti[i];
    in[in.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

class FinestraWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without a display there is no window: outside CI that is the
    // machine's limit, in CI a fault of the set-up.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
      if (std::getenv("CI")) FAIL() << "no DISPLAY in CI: the test runs under cmake/con-xvfb.sh";
      GTEST_SKIP() << "no DISPLAY: the window tests need one (Xvfb)";
    }
    finestra =
        std::make_unique<FinestraCompilazione>([this] { return suite.prefisso.Dir().string() + "\\WexoUty.ini"; });
    finestra->IntercettaMessaggi([this](const std::string& testo, int stile, const std::string& titolo) {
      boxes.push_back({testo, stile, titolo});
      return kRispostaOk;
    });
    hwnd = finestra->Crea(GetModuleHandleW(nullptr));
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    Pompa([] { return false; }, 300);
    boxes.clear();
  }

  // Runs the window's messages until fatto() or ms pass.
  template <class F>
  bool Pompa(F fatto, DWORD ms) {
    const DWORD inizio = GetTickCount();
    while (!fatto()) {
      if (GetTickCount() - inizio > ms) return false;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!finestra->Filtra(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      Sleep(10);
    }
    return true;
  }

  void Clicca(const char* nome) {
    HWND w = finestra->Controllo(nome);
    ASSERT_NE(w, nullptr) << nome;
    SetForegroundWindow(hwnd);
    Pompa([] { return false; }, 100);
    ClicReale(w);
  }

  SuiteProva suite{{{"Alfa", "ALFA.VBP"}, {"Beta", "BETA.VBP"}}};
  std::unique_ptr<FinestraCompilazione> finestra;
  HWND hwnd = nullptr;
  std::vector<BoxVisto> boxes;
};

TEST_F(FinestraWin32Test, TitoloAreaClientEMenuStrumenti) {
  EXPECT_EQ(TestoDi(hwnd), "Compilazione Batch Orbalis");
  const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSX);
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, kLarghezzaClientTwips * dpi / 1440);
  EXPECT_EQ(client.bottom, kAltezzaClientTwips * dpi / 1440);

  HMENU barra = GetMenu(hwnd);
  ASSERT_EQ(GetMenuItemCount(barra), 1);
  wchar_t t[64]{};
  GetMenuStringW(barra, 0, t, 64, MF_BYPOSITION);
  EXPECT_EQ(Utf8(t), "Strumenti");
  HMENU strumenti = GetSubMenu(barra, 0);
  const std::vector<std::string> kVoci = {"Genera .vbg",
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
  std::vector<std::string> voci;
  for (int i = 0; i < GetMenuItemCount(strumenti); ++i) {
    const bool separatore = (GetMenuState(strumenti, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
    t[0] = 0;
    if (!separatore) GetMenuStringW(strumenti, static_cast<UINT>(i), t, 64, MF_BYPOSITION);
    voci.push_back(separatore ? "" : Utf8(t));
  }
  EXPECT_EQ(voci, kVoci);
}

TEST_F(FinestraWin32Test, OgniControlloDellaTabellaAlSuoPostoConIlSuoTesto) {
  const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSX);
  const auto pixel = [dpi](int twips) { return static_cast<LONG>(twips * dpi / 1440); };
  // The system's class and kind of each type of control.
  const auto classe = [](TipoControllo t) -> std::pair<std::string, LONG_PTR> {
    switch (t) {
      case TipoControllo::Lista: return {"ListBox", -1};
      case TipoControllo::Cornice: return {"Button", BS_GROUPBOX};
      case TipoControllo::Contenitore: return {"CwContenitore", -1};
      case TipoControllo::Pulsante: return {"Button", BS_OWNERDRAW};
      case TipoControllo::Testo: return {"Edit", -1};
      case TipoControllo::Etichetta: return {"Static", -1};
      case TipoControllo::Casella: return {"Button", BS_3STATE};
      case TipoControllo::Opzione: return {"Button", BS_AUTORADIOBUTTON};
    }
    return {};
  };
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    SCOPED_TRACE(d.nome);
    HWND w = finestra->Controllo(d.nome);
    ASSERT_NE(w, nullptr);
    HWND padre = *d.contenitore ? finestra->Controllo(d.contenitore) : hwnd;
    EXPECT_EQ(GetParent(w), padre);
    wchar_t nomeClasse[32]{};
    GetClassNameW(w, nomeClasse, 32);
    const auto [attesa, tipo] = classe(d.tipo);
    EXPECT_EQ(lstrcmpiW(nomeClasse, Wide(attesa).c_str()), 0) << Utf8(nomeClasse);
    const LONG_PTR stile = GetWindowLongPtrW(w, GWL_STYLE);
    if (tipo >= 0) {
      EXPECT_EQ(stile & BS_TYPEMASK, tipo);
    }
    if (d.tipo != TipoControllo::Testo) {
      EXPECT_EQ(TestoDi(w), d.testo);
    }
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, padre, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, pixel(d.left));
    EXPECT_EQ(r.top, pixel(d.top));
    EXPECT_EQ(r.right - r.left, pixel(d.width));
    EXPECT_EQ(r.bottom - r.top, pixel(d.height));
    if (d.tipo == TipoControllo::Testo && d.lunghezzaMassima > 0) {
      EXPECT_EQ(SendMessageW(w, EM_GETLIMITTEXT, 0, 0), d.lunghezzaMassima);
    }
    // The option group's one tab stop is its selected button.
    const bool fermata =
        d.tipo == TipoControllo::Opzione ? SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED : PrendeFuoco(d.tipo);
    EXPECT_EQ((stile & WS_TABSTOP) != 0, fermata);
  }
}

TEST_F(FinestraWin32Test, UnClicSuSoloBackupFaIlBackupEDiceBackupEffettuato) {
  for (size_t i = 0; i < suite.righe.size(); ++i) suite.Scrivi(suite.Progetto(i), "Type=OleDll\r\n");
  finestra->ImpostaContesto(std::make_unique<Contesto>(
      ContestoDiProva(suite.fso, suite.catalogo, *finestra, *finestra,
                      {.fileIni = [this] { return suite.prefisso.Dir().string() + "\\WexoUty.ini"; }})));
  Clicca("cmdBackup");
  ASSERT_TRUE(Pompa([this] { return !boxes.empty(); }, 5000)) << "the click reached no command";
  EXPECT_EQ(boxes[0].testo, "Backup effettuato");
  EXPECT_EQ(boxes[0].stile, kStileInformativo);
  EXPECT_EQ(boxes[0].titolo, kTitoloApplicazione);
  EXPECT_EQ(suite.Leggi(suite.Progetto(0) + "_1"), "Type=OleDll\r\n");
  EXPECT_EQ(suite.Leggi(suite.Progetto(1) + "_1"), "Type=OleDll\r\n");
  ASSERT_GE(finestra->LogCount(), 1);
  EXPECT_EQ(finestra->LogItem(finestra->LogCount() - 1), "Pronto");
  EXPECT_EQ(finestra->Puntatore(), kPuntatorePredefinito);
}

TEST_F(FinestraWin32Test, UnErroreDiRunTimeMostraIlSuoBoxELaFinestraResta) {
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &ConErrore));
  ASSERT_TRUE(finestra->CollegaComando("cmdRegistra", &Altro));
  g_altri = 0;
  Clicca("cmdBackup");
  ASSERT_TRUE(Pompa([this] { return !boxes.empty(); }, 5000)) << "the click reached no command";
  EXPECT_EQ(boxes[0].testo, "Errore di run-time '53':\n\nImpossibile trovare il file");
  EXPECT_EQ(boxes[0].stile, kStileCritico);
  EXPECT_FALSE(finestra->ComandoInCorso());
  EXPECT_TRUE(IsWindowEnabled(hwnd));
  // The next click runs its command, and so does Enter on the button.
  Clicca("cmdRegistra");
  EXPECT_TRUE(Pompa([] { return g_altri == 1; }, 5000));
  SetFocus(finestra->Controllo("cmdRegistra"));
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = VK_RETURN;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
  EXPECT_TRUE(Pompa([] { return g_altri == 2; }, 5000));
}

TEST_F(FinestraWin32Test, MentreUnProgrammaGiraLaFinestraNonPrendeClic) {
  g_finestra = finestra.get();
  g_altri = 0;
  g_attesaFinita = false;
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &ConAttesa));
  ASSERT_TRUE(finestra->CollegaComando("cmdRegistra", &Altro));
  const int incremento = finestra->ValoreIncrementoAutomatico();
  EnableWindow(finestra->Controllo("txtGuidOld"), FALSE);
  Clicca("cmdBackup");
  ASSERT_TRUE(Pompa([] { return g_attesaFinita; }, 5000));
  Pompa([] { return false; }, 300);
  EXPECT_EQ(g_attese[0], kAttesaScaduta);
  EXPECT_EQ(g_attese[1], 0);
  // Greyed meanwhile but the log; afterwards what was enabled before.
  EXPECT_EQ(g_accesi, std::vector<std::string>{"lstInformazioni"});
  EXPECT_FALSE(g_menuAcceso);
  EXPECT_FALSE(IsWindowEnabled(finestra->Controllo("txtGuidOld")));
  EXPECT_TRUE(IsWindowEnabled(finestra->Controllo("txtGuidNew")));
  EXPECT_FALSE(GetMenuState(GetMenu(hwnd), 0, MF_BYPOSITION) & MF_GRAYED);
  // The close request was answered, and refused.
  EXPECT_TRUE(IsWindow(hwnd));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].testo, kComandoInCorso);
  EXPECT_EQ(boxes[0].stile, kStileEsclamativo);
  // The clicks made during the wait are dropped, not run afterwards.
  EXPECT_EQ(finestra->ValoreIncrementoAutomatico(), incremento);
  EXPECT_EQ(g_altri, 0);
  EXPECT_FALSE(finestra->ComandoInCorso());
  g_finestra = nullptr;
}

TEST_F(FinestraWin32Test, TabVaInOrdineDiLetturaEAltSOF10ApronoIlMenu) {
  const std::vector<std::string>& attesi = test::OrdineTabulazioneAtteso();
  SetForegroundWindow(hwnd);
  SetFocus(finestra->Controllo(attesi.back().c_str()));
  for (const std::string& nome : attesi) {
    HWND atteso = finestra->Controllo(nome);
    Premi({VK_TAB});
    EXPECT_TRUE(Pompa([atteso] { return GetFocus() == atteso; }, 2000)) << nome;
  }
  for (const auto& tasti : {std::vector<WORD>{VK_MENU, 'S'}, std::vector<WORD>{VK_F10}}) {
    g_menuAperto = false;
    const UINT_PTR orologio = SetTimer(nullptr, 0, 300, &GuardaMenu);
    Premi(tasti);
    EXPECT_TRUE(Pompa([] { return g_menuAperto; }, 3000)) << tasti.back();
    KillTimer(nullptr, orologio);
  }
}

// The command of the "Strumenti" entry with that caption (its "&" left out),
// wherever the menu puts it; 0 when there is none.
WORD VoceStrumenti(HWND hwnd, const std::wstring& testo) {
  HMENU strumenti = GetSubMenu(GetMenu(hwnd), 0);
  for (int i = 0; i < GetMenuItemCount(strumenti); ++i) {
    wchar_t voce[128] = {};
    GetMenuStringW(strumenti, static_cast<UINT>(i), voce, 128, MF_BYPOSITION);
    std::wstring senza;
    for (const wchar_t* c = voce; *c; ++c)
      if (*c != L'&') senza += *c;
    if (senza == testo) return static_cast<WORD>(GetMenuItemID(strumenti, i));
  }
  return 0;
}

TEST_F(FinestraWin32Test, AnteprimaModificheMostraIlTestoInUnaFinestraSua) {
  ASSERT_TRUE(finestra->CollegaComando("mnuAnteprimaModifiche", &ConAnteprima));
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VoceStrumenti(hwnd, L"Anteprima modifiche"), 0), 0);
  HWND anteprima = FindWindowW(L"CwAnteprima", nullptr);
  ASSERT_NE(anteprima, nullptr);
  EXPECT_EQ(GetWindow(anteprima, GW_OWNER), hwnd);
  EXPECT_TRUE(IsWindowVisible(anteprima));
  EXPECT_EQ(TestoDi(anteprima), "Anteprima modifiche");
  EXPECT_EQ(TestoDi(GetDlgItem(anteprima, 1)), "--- C:\\X.vbp\r\n-Citt\u2400à\r\n");
  // The text has the keys: Ctrl+End to its end, Ctrl+Home back.
  const auto cursore = [anteprima] {
    DWORD da = 0;
    SendMessageW(GetDlgItem(anteprima, 1), EM_GETSEL, reinterpret_cast<WPARAM>(&da), 0);
    return static_cast<int>(da);
  };
  for (const auto& [tasto, atteso] : {std::pair{VK_END, 23}, std::pair{VK_HOME, 0}}) {
    Premi({VK_CONTROL, static_cast<WORD>(tasto)});
    EXPECT_TRUE(Pompa([&, atteso = atteso] { return cursore() == atteso; }, 2000)) << tasto;
  }
}

TEST_F(FinestraWin32Test, UnaRigaNuovaPortaInFondoSoloChiEraInFondo) {
  for (int i = 0; i < 60; ++i) finestra->LogAddItem("riga");
  finestra->LogSelect(59);
  const LRESULT inFondo = SendMessageW(finestra->Controllo("lstInformazioni"), LB_GETTOPINDEX, 0, 0);
  ASSERT_GT(inFondo, 0);
  for (const auto& [cima, attesa] :
       {std::pair<LRESULT, LRESULT>{inFondo, inFondo + 1}, std::pair<LRESULT, LRESULT>{0, 0}}) {
    SendMessageW(finestra->Controllo("lstInformazioni"), LB_SETTOPINDEX, static_cast<WPARAM>(cima), 0);
    finestra->LogAddItem("riga");
    finestra->LogSelect(finestra->LogCount() - 1);
    EXPECT_EQ(SendMessageW(finestra->Controllo("lstInformazioni"), LB_GETTOPINDEX, 0, 0), attesa) << cima;
  }
}

TEST_F(FinestraWin32Test, IRapportiUsanoUnCarattereAPassoFisso) {
  // Wine has no "Courier New" of its own: the report's columns must line up
  // all the same.
  finestra->LogSetFontName(kFontReport);
  EXPECT_TRUE(
      PassoFisso(reinterpret_cast<HFONT>(SendMessageW(finestra->Controllo("lstInformazioni"), WM_GETFONT, 0, 0))));
  ASSERT_TRUE(finestra->CollegaComando("mnuAnteprimaModifiche", &ConAnteprima));
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VoceStrumenti(hwnd, L"Anteprima modifiche"), 0), 0);
  HWND anteprima = FindWindowW(L"CwAnteprima", nullptr);
  ASSERT_NE(anteprima, nullptr);
  EXPECT_TRUE(PassoFisso(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(anteprima, 1), WM_GETFONT, 0, 0))));
  finestra->LogSetFontName(kCarattereFinestra);
  EXPECT_FALSE(
      PassoFisso(reinterpret_cast<HFONT>(SendMessageW(finestra->Controllo("lstInformazioni"), WM_GETFONT, 0, 0))));
}

TEST_F(FinestraWin32Test, LeEtichetteNonCopronoIlBordoDelleCaselle) {
  // Each label's Height reaches one pixel into the text box under it.
  Pompa([] { return false; }, 300);
  const COLORREF sfondo = GetSysColor(COLOR_BTNFACE);
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    if (d.tipo != TipoControllo::Testo) continue;
    SCOPED_TRACE(d.nome);
    HWND casella = finestra->Controllo(d.nome);
    HWND padre = GetParent(casella);
    RECT r;
    GetWindowRect(casella, &r);
    MapWindowPoints(nullptr, padre, reinterpret_cast<POINT*>(&r), 2);
    HDC dc = GetDC(padre);
    const COLORREF bordo = GetPixel(dc, (r.left + r.right) / 2, r.top);
    ReleaseDC(padre, dc);
    EXPECT_NE(bordo, sfondo);
  }
}

TEST_F(FinestraWin32Test, IlPuntatoreOccupatoSuOgniControllo) {
  for (int p : {kPuntatorePredefinito, kPuntatoreClessidra, kPuntatoreFrecciaClessidra})
    EXPECT_NE(CursorePuntatore(p), nullptr) << p;
  finestra->SetMousePointer(kPuntatoreClessidra);
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    SCOPED_TRACE(d.nome);
    HWND w = finestra->Controllo(d.nome);
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), CursorePuntatore(kPuntatoreClessidra));
  }
  // A row of the walk takes the mouse's moves, so the system asks for the
  // pointer again without the message loop.
  SetForegroundWindow(hwnd);
  SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
  INPUT mosse[2]{};
  const char* const kSopra[] = {"lstInformazioni", "txtCommenti"};
  for (int i = 0; i < 2; ++i) {
    RECT r;
    GetWindowRect(finestra->Controllo(kSopra[i]), &r);
    mosse[i].type = INPUT_MOUSE;
    mosse[i].mi.dx = MulDiv((r.left + r.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    mosse[i].mi.dy = MulDiv((r.top + r.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    mosse[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  ASSERT_EQ(SendInput(2, mosse, sizeof(INPUT)), 2u);
  finestra->LogRefresh();
  EXPECT_EQ(GetCursor(), CursorePuntatore(kPuntatoreClessidra));
  finestra->SetMousePointer(kPuntatorePredefinito);
  EXPECT_EQ(GetCursor(), CursorePuntatore(kPuntatorePredefinito));
}

}  // namespace
}  // namespace cw::test
