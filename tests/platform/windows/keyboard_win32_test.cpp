#include "platform/windows/keyboard_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/errors.h"
#include "platform/windows/testo_wide_win32.h"
#include "support/errore.h"

namespace cw {
namespace {

using test::ErroreDi;

void Pompa(DWORD ms) {
  const ULONGLONG fine = GetTickCount64() + ms;
  while (GetTickCount64() < fine) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    Sleep(5);
  }
}

TEST(KeyboardWin32, SenzaFinestraONotazioneSbagliataErrore5) {
  KeyboardWin32 t;
  EXPECT_EQ(ErroreDi([&] { t.AppActivate("Nessuna finestra con questo titolo", false); }), kChiamataNonValida);
  EXPECT_FALSE(t.IsActive("Nessuna finestra con questo titolo"));
  EXPECT_EQ(ErroreDi([&] { t.SendKeys("{NONESISTE}", true); }), kChiamataNonValida);
}

// Typed into a window of our own: modifiers, braces, a character of no key.
TEST(KeyboardWin32, ScriveNellaFinestraAttivata) {
  if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) GTEST_SKIP() << "no display";
  const std::string titolo = "Vb-Build - Prova";
  WNDCLASSW classe{};
  classe.lpfnWndProc = DefWindowProcW;
  classe.hInstance = GetModuleHandleW(nullptr);
  classe.lpszClassName = L"CwProvaTastiera";
  RegisterClassW(&classe);
  const HWND w = CreateWindowExW(0, classe.lpszClassName, Wide(titolo).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 300, 100, nullptr, nullptr, classe.hInstance, nullptr);
  ASSERT_TRUE(w);
  const HWND campo =
      CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 280, 30, w, nullptr, classe.hInstance, nullptr);
  Pompa(200);
  KeyboardWin32 t;
  t.AppActivate(titolo, true);
  EXPECT_TRUE(t.IsActive(titolo));
  SetFocus(campo);
  t.SendKeys("ab+c{+}{(}1\xe2\x82\xac", true);
  Pompa(300);
  wchar_t testo[64] = {};
  GetWindowTextW(campo, testo, 64);
  EXPECT_EQ(Utf8(testo), "abC+(1\xe2\x82\xac");
  DestroyWindow(w);
}

}  // namespace
}  // namespace cw
