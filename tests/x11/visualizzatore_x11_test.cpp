// The stand-in viewer on a real X server: its process ends with its window,
// however the window goes.

#include <gtest/gtest.h>

#include "x11/server_x.h"

namespace cw {
namespace {

using test::Attendi;
using test::LeggiFile;

TEST(VisualizzatoreX11, EndsWhenItsWindowIsClosedOrDestroyed) {
#ifndef CW_STANDIN_NOTEPAD
  GTEST_SKIP() << "stand-in not built (no window build)";
#else
  SERVER_O_SALTA(x);
  for (const bool distrutta : {false, true}) {
    auto viewer = x.Avvia("notepad", {CW_STANDIN_NOTEPAD}, {"QT_QPA_PLATFORM=xcb"});
    Window w = 0;
    ASSERT_TRUE(Attendi([&] { return (w = x.TrovaFinestra("Senza nome - Blocco note")) != 0; }, 20000))
        << LeggiFile(x.Log("notepad"));
    if (distrutta) {
      XDestroyWindow(x.Dpy(), w);
    } else {
      // What the desktop's close button sends.
      XEvent e{};
      e.xclient.type = ClientMessage;
      e.xclient.window = w;
      e.xclient.message_type = XInternAtom(x.Dpy(), "WM_PROTOCOLS", False);
      e.xclient.format = 32;
      e.xclient.data.l[0] = static_cast<long>(XInternAtom(x.Dpy(), "WM_DELETE_WINDOW", False));
      e.xclient.data.l[1] = CurrentTime;
      XSendEvent(x.Dpy(), w, False, NoEventMask, &e);
    }
    XSync(x.Dpy(), False);
    EXPECT_TRUE(Attendi([&] { return !viewer.Vivo(); }, 10000)) << (distrutta ? "destroyed" : "closed");
  }
#endif
}

}  // namespace
}  // namespace cw
