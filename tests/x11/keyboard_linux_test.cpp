#include "platform/linux/keyboard_linux.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "build/vb_build.h"
#include "support/errore.h"
#include "support/suite_prova.h"
#include "support/ui_registrata.h"
#include "x11/server_x.h"

namespace cw {
namespace {

using test::Attendi;
using test::LeggiFile;
using test::ServerX;

using test::ErroreDi;

TEST(KeyboardLinux, WithoutADisplayEveryCallIsError5) {
  KeyboardLinux tastiera(":3999");
  EXPECT_EQ(ErroreDi([&] { tastiera.AppActivate("Vb-Build - Wexo", true); }), kChiamataNonValida);
  EXPECT_EQ(ErroreDi([&] { tastiera.IsActive("Vb-Build - Wexo"); }), kChiamataNonValida);
  EXPECT_EQ(ErroreDi([&] { tastiera.SendKeys("abc", true); }), kChiamataNonValida);
  EXPECT_EQ(ErroreDi([&] { tastiera.SendKeys("{NOPE}", true); }), kChiamataNonValida);
}

TEST(KeyboardLinux, OnlyTheExactTitleIsFound) {
  SERVER_O_SALTA(x);
  for (const char* t : {"Vb-Build - Wexo 2", "vb-build - wexo", "xVb-Build - Wexo", "axb(c)", "a.b(c)*"})
    x.CreaFinestra(t);
  KeyboardLinux tastiera(x.Display());
  tastiera.SetActivationTimeoutMs(2000);
  EXPECT_EQ(ErroreDi([&] { tastiera.AppActivate("Vb-Build - Wexo", true); }), kChiamataNonValida);
  EXPECT_EQ(ErroreDi([&] { tastiera.AppActivate("a.b(c)", true); }), kChiamataNonValida);
  EXPECT_EQ(ErroreDi([&] { tastiera.AppActivate("a.b(c)*", true); }), 0);
  EXPECT_TRUE(tastiera.IsActive("a.b(c)*"));
  EXPECT_FALSE(tastiera.IsActive("axb(c)"));
  EXPECT_FALSE(tastiera.IsActive("a.b(c)"));
}

TEST(KeyboardLinux, NamedKeysAndModifiersReachTheFocusedWindow) {
  SERVER_O_SALTA(x);
  const Window w = x.CreaFinestra("Ricevente");
  KeyboardLinux tastiera(x.Display());
  tastiera.AppActivate("Ricevente", true);
  tastiera.SendKeys("+a^{ENTER}%{F5}{+}x~{TAB 2}", true);

  // Every key press but the modifiers themselves, with the modifiers held.
  std::vector<std::pair<KeySym, unsigned>> premuti;
  ASSERT_TRUE(Attendi(
      [&] {
        XEvent ev;
        while (XCheckWindowEvent(x.Dpy(), w, KeyPressMask, &ev)) {
          char buf[8];
          KeySym ks = 0;
          XLookupString(&ev.xkey, buf, sizeof buf, &ks, nullptr);
          if (!IsModifierKey(ks)) premuti.push_back({ks, ev.xkey.state & (ShiftMask | ControlMask | Mod1Mask)});
        }
        return premuti.size() >= 8;
      },
      5000))
      << premuti.size();
  EXPECT_EQ(premuti, (std::vector<std::pair<KeySym, unsigned>>{{XK_A, ShiftMask},
                                                               {XK_Return, ControlMask},
                                                               {XK_F5, Mod1Mask},
                                                               {XK_plus, ShiftMask},
                                                               {XK_x, 0},
                                                               {XK_Return, 0},
                                                               {XK_Tab, 0},
                                                               {XK_Tab, 0}}));
}

// For the Vb-Build test, built only with the stand-in tool.
#ifdef CW_STANDIN_VBBUILD
size_t Righe(const std::filesystem::path& file) {
  const std::string s = LeggiFile(file);
  return static_cast<size_t>(std::count(s.begin(), s.end(), '\n'));
}

std::vector<std::string> Percorsi() {
  std::vector<std::string> p;
  for (int i = 0; i < 148; ++i) p.push_back("C:\\" + std::to_string(i));
  p[7] = "C:\\Program Files (x86)\\Città è\\a+b^c%d~e{f}[g].vbp";
  p[100] = "C:\\Cartella con spazi\\Perché È.vbp";  // an upper-case accent is missing from the keymap too
  return p;
}
#endif

// Vb-Build against the stand-in tool, with a window manager (activation
// through _NET_ACTIVE_WINDOW) and without one (the input focus).
class VbBuildX11 : public ::testing::TestWithParam<bool> {};

TEST_P(VbBuildX11, EveryPathArrivesInOrderAndAClosedToolStopsTheRun) {
#ifndef CW_STANDIN_VBBUILD
  GTEST_SKIP() << "stand-in not built (no window build)";
#else
  SERVER_O_SALTA(x);
  if (GetParam()) {
    if (!test::CercaProgramma("matchbox-window-manager")) GTEST_SKIP() << "matchbox-window-manager non installato";
    ASSERT_TRUE(x.AvviaWindowManager()) << LeggiFile(x.Log("wm"));
  }
  const auto ricevuti = x.Dir() / "ricevuti.txt";
  auto tool = x.Avvia("vbbuild", {CW_STANDIN_VBBUILD, ricevuti.string()}, {"QT_QPA_PLATFORM=xcb"});
  KeyboardLinux tastiera(x.Display());
  ASSERT_TRUE(Attendi([&] { return ErroreDi([&] { tastiera.AppActivate(kTitoloVbBuild, true); }) == 0; }, 20000))
      << LeggiFile(x.Log("vbbuild"));

  const auto percorsi = Percorsi();
  const auto catalogo = test::CatalogoDiPercorsi(percorsi);
  test::UiRegistrata ui;
  size_t inviati = 0;
  Window altro = 0;
  std::function<void(size_t)> dopoRiga;
  // The pace shortened: after each Enter, only until the tool has the row.
  const auto attendi = [&](int ms) {
    if (ms == kAttesaIniziale) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (ms != kAttesaDopoInvio) return;
    ++inviati;
    if (!Attendi([&] { return Righe(ricevuti) >= inviati; }, 3000))
      ADD_FAILURE() << "riga " << inviati << " non arrivata";
    if (dopoRiga) dopoRiga(inviati);
  };

  // The user moves to another window halfway through: its keys stay zero.
  dopoRiga = [&](size_t n) {
    if (n != 70) return;
    altro = x.CreaFinestra("Altro");
    KeyboardLinux utente(x.Display());
    utente.AppActivate("Altro", true);
  };
  const auto inizio = std::chrono::steady_clock::now();
  EseguiVbBuild(catalogo, tastiera, ui, attendi);
  const auto durata = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inizio);
  RecordProperty("durata_ms", static_cast<int>(durata.count()));

  std::string atteso;
  for (const auto& p : percorsi) atteso += p + "\n";
  EXPECT_EQ(LeggiFile(ricevuti), atteso);
  ASSERT_NE(altro, 0u);
  XSync(x.Dpy(), False);
  int tastiAltrove = 0;
  XEvent ev;
  while (XCheckWindowEvent(x.Dpy(), altro, KeyPressMask, &ev)) ++tastiAltrove;
  EXPECT_EQ(tastiAltrove, 0);
  // One line per path as it goes, then the count.
  ASSERT_EQ(ui.log.size(), 149u);
  EXPECT_EQ(ui.log[0],
            "Invio a Vb-Build del progetto 1 di 148: " + catalogo.FileProgettoCompleto(0) + " in corso... OK!");
  EXPECT_EQ(ui.log.back(), "Progetti inviati a Vb-Build: 148");

  // The tool is closed after the third row: the run stops with error 5.
  std::ofstream(ricevuti, std::ios::trunc).close();
  inviati = 0;
  dopoRiga = [&](size_t n) {
    if (n != 3) return;
    tool.Termina();
    Attendi([&] { return !x.EsisteFinestra(kTitoloVbBuild); }, 5000);
  };
  EXPECT_EQ(ErroreDi([&] { EseguiVbBuild(catalogo, tastiera, ui, attendi); }), kChiamataNonValida);
  EXPECT_EQ(LeggiFile(ricevuti), percorsi[0] + "\n" + percorsi[1] + "\n" + percorsi[2] + "\n");
#endif
}

INSTANTIATE_TEST_SUITE_P(X11, VbBuildX11, ::testing::Values(true, false),
                         [](const auto& p) { return p.param ? "ConWindowManager" : "SenzaWindowManager"; });

}  // namespace
}  // namespace cw
