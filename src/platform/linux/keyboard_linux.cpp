#include "platform/linux/keyboard_linux.h"

#include "base/ansi.h"

#include <locale.h>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "base/errors.h"
#include "base/keystrokes.h"

extern "C" {
#include <xdo.h>
}
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace cw {

struct KeyboardLinux::Connection {
  Display* dpy = nullptr;
  xdo_t* xdo = nullptr;
  locale_t utf8 = static_cast<locale_t>(0);
  // Characters missing from the keymap that we gave a spare keycode of
  // their own, kept for the whole session so the keymap changes once per
  // character, not once per key press.
  std::map<KeySym, KeyCode> bound;
  int keysymsPerKeycode = 0;

  ~Connection() {
    if (xdo) xdo_free(xdo);
    if (dpy) {
      for (const auto& [keysym, keycode] : bound) {
        std::vector<KeySym> none(static_cast<size_t>(keysymsPerKeycode), NoSymbol);
        XChangeKeyboardMapping(dpy, keycode, keysymsPerKeycode, none.data(), 1);
      }
      XSync(dpy, False);
      XCloseDisplay(dpy);
    }
    if (utf8) freelocale(utf8);
  }
  Display* Dpy() const { return dpy; }
};

namespace {

constexpr Window kNoWindow = 0;  // X11's None, which keystrokes.h cannot see

// X errors from windows that vanish under us (the tool closing while we ask
// for its name) must not end the program, as Xlib's default handler would.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

class TrappolaErroriX {
 public:
  explicit TrappolaErroriX(Display* d) : d_(d) {
    XSync(d_, False);
    previous_ = XSetErrorHandler(IgnoreXError);
  }
  ~TrappolaErroriX() {
    XSync(d_, False);
    XSetErrorHandler(previous_);
  }
  TrappolaErroriX(const TrappolaErroriX&) = delete;
  TrappolaErroriX& operator=(const TrappolaErroriX&) = delete;

 private:
  Display* d_;
  XErrorHandler previous_;
};

[[noreturn]] void Fail(const std::string& why, const std::string& titolo = {}) {
  SollevaErrore(kChiamataNonValida, why, titolo);
}

// The title as a POSIX extended regex matching it literally. libxdo's match
// is a search that ignores case, so callers still compare the name exactly.
std::string RegexLiteral(const std::string& text) {
  std::string out = "^";
  for (char c : text) {
    if (std::string_view(".[]()*+?{}|^$\\").find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  out += '$';
  return out;
}

// One property of a window, as raw items; empty when it is missing.
std::vector<unsigned char> Property(Display* d, Window w, Atom property, Atom type, int format, long maxItems,
                                    unsigned long* items) {
  Atom actualType = 0;
  int actualFormat = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  *items = 0;
  std::vector<unsigned char> out;
  if (XGetWindowProperty(d, w, property, 0, maxItems, False, type, &actualType, &actualFormat, &n, &after, &data) ==
          Success &&
      data && actualType == type && actualFormat == format) {
    const size_t unit = format == 8 ? 1 : format == 16 ? sizeof(short) : sizeof(long);
    out.assign(data, data + n * unit);
    *items = n;
  }
  if (data) XFree(data);
  return out;
}

std::optional<Window> WindowProperty(Display* d, Window w, const char* name) {
  unsigned long n = 0;
  const auto raw = Property(d, w, XInternAtom(d, name, False), XA_WINDOW, 32, 1, &n);
  if (n < 1) return std::nullopt;
  return static_cast<Window>(*reinterpret_cast<const long*>(raw.data()));
}

// The window's title in UTF-8: _NET_WM_NAME, else WM_NAME.
std::optional<std::string> WindowName(Display* d, Window w) {
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  unsigned long n = 0;
  const auto raw = Property(d, w, XInternAtom(d, "_NET_WM_NAME", False), utf8, 8, 4096, &n);
  if (n > 0) return std::string(raw.begin(), raw.end());
  XTextProperty tp{};
  if (!XGetWMName(d, w, &tp) || !tp.value) return std::nullopt;
  std::optional<std::string> name;
  char** list = nullptr;
  int count = 0;
  if (Xutf8TextPropertyToTextList(d, &tp, &list, &count) >= Success && list && count > 0) name = std::string(list[0]);
  if (list) XFreeStringList(list);
  XFree(tp.value);
  return name;
}

// A live window manager that says it handles _NET_ACTIVE_WINDOW. The check
// window must name itself, so the properties a dead manager left on the
// root window do not count.
bool WmSupportsActiveWindow(Display* d) {
  const Window root = DefaultRootWindow(d);
  const auto check = WindowProperty(d, root, "_NET_SUPPORTING_WM_CHECK");
  if (!check || WindowProperty(d, *check, "_NET_SUPPORTING_WM_CHECK") != check) return false;
  unsigned long n = 0;
  const auto raw = Property(d, root, XInternAtom(d, "_NET_SUPPORTED", False), XA_ATOM, 32, 4096, &n);
  const Atom wanted = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
  const auto* atoms = reinterpret_cast<const long*>(raw.data());
  for (unsigned long i = 0; i < n; ++i)
    if (static_cast<Atom>(atoms[i]) == wanted) return true;
  return false;
}

// The window that takes the keys: the manager's active window, or the input
// focus where there is no manager.
Window CurrentWindow(Display* d) {
  if (WmSupportsActiveWindow(d)) return WindowProperty(d, DefaultRootWindow(d), "_NET_ACTIVE_WINDOW").value_or(0);
  Window focus = kNoWindow;
  int revert = 0;
  XGetInputFocus(d, &focus, &revert);
  if (focus == PointerRoot) return kNoWindow;
  return focus;
}

// The window and its ancestors up to the root.
std::vector<Window> SelfAndAncestors(Display* d, Window w) {
  std::vector<Window> chain;
  const Window root = DefaultRootWindow(d);
  while (w != kNoWindow && w != root && chain.size() < 64) {
    chain.push_back(w);
    Window r = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, w, &r, &parent, &children, &n)) break;
    if (children) XFree(children);
    w = parent;
  }
  return chain;
}

bool Viewable(Display* d, Window w) {
  XWindowAttributes a{};
  return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

// The top-level windows titled exactly so, the visible ones first.
std::vector<Window> FindWindows(xdo_t* xdo, const std::string& title) {
  const std::string pattern = RegexLiteral(title);
  xdo_search_t search{};
  search.winname = pattern.c_str();
  search.searchmask = SEARCH_NAME;
  search.max_depth = -1;  // reparenting managers put clients below their frames
  search.require = xdo_search_t::SEARCH_ALL;
  Window* found = nullptr;
  unsigned int n = 0;
  xdo_search_windows(xdo, &search, &found, &n);
  std::vector<Window> visible, hidden;
  for (unsigned int i = 0; i < n; ++i) {
    if (WindowName(xdo->xdpy, found[i]) != title) continue;
    (Viewable(xdo->xdpy, found[i]) ? visible : hidden).push_back(found[i]);
  }
  std::free(found);
  visible.insert(visible.end(), hidden.begin(), hidden.end());
  return visible;
}

bool HasKeys(Display* d, Window w) {
  for (Window a : SelfAndAncestors(d, CurrentWindow(d)))
    if (a == w) return true;
  return false;
}

const char* KeysymName(SpecialKey key) {
  switch (key) {
    case SpecialKey::Enter: return "Return";
    case SpecialKey::Tab: return "Tab";
    case SpecialKey::Escape: return "Escape";
    case SpecialKey::Backspace: return "BackSpace";
    case SpecialKey::Delete: return "Delete";
    case SpecialKey::Insert: return "Insert";
    case SpecialKey::Home: return "Home";
    case SpecialKey::End: return "End";
    case SpecialKey::PageUp: return "Prior";
    case SpecialKey::PageDown: return "Next";
    case SpecialKey::Up: return "Up";
    case SpecialKey::Down: return "Down";
    case SpecialKey::Left: return "Left";
    case SpecialKey::Right: return "Right";
    case SpecialKey::CapsLock: return "Caps_Lock";
    case SpecialKey::NumLock: return "Num_Lock";
    case SpecialKey::ScrollLock: return "Scroll_Lock";
    case SpecialKey::Break: return "Break";
    case SpecialKey::PrintScreen: return "Print";
    case SpecialKey::Help: return "Help";
    default: break;
  }
  if (key >= SpecialKey::F1 && key <= SpecialKey::F16) {
    static const char* const kF[] = {"F1", "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                     "F9", "F10", "F11", "F12", "F13", "F14", "F15", "F16"};
    return kF[static_cast<int>(key) - static_cast<int>(SpecialKey::F1)];
  }
  return nullptr;
}

// Latin-1 characters are their own keysyms; every other one has the
// Unicode keysym.
KeySym CharacterKeysym(char32_t c) {
  return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF) ? static_cast<KeySym>(c)
                                                              : static_cast<KeySym>(0x01000000 | c);
}

// On the first two levels of some key (plain or with Shift) of the first group.
bool InKeymap(Display* d, KeySym ks) {
  const KeyCode kc = XKeysymToKeycode(d, ks);
  return kc != 0 && (XkbKeycodeToKeysym(d, kc, 0, 0) == ks || XkbKeycodeToKeysym(d, kc, 0, 1) == ks);
}

// A character pressed with modifiers goes through a key sequence, which
// names keys by keysym ("plus", "agrave", "U20AC").
std::string CharacterKeysymName(char32_t c) {
  const KeySym ks = CharacterKeysym(c);
  const char* name = XKeysymToString(ks);
  if (name) return name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "U%04X", static_cast<unsigned>(c));
  return buf;
}

}  // namespace

KeyboardLinux::KeyboardLinux(std::string display, int keyDelayMs)
    : display_(std::move(display)), keyDelayMs_(keyDelayMs < kMinKeyDelayMs ? kMinKeyDelayMs : keyDelayMs) {}

KeyboardLinux::~KeyboardLinux() = default;

KeyboardLinux::Connection& KeyboardLinux::Connect() {
  if (connection_) return *connection_;
  auto c = std::make_unique<Connection>();
  c->dpy = XOpenDisplay(display_.empty() ? nullptr : display_.c_str());
  if (!c->dpy) Fail("nessun display X11" + (display_.empty() ? std::string() : " " + display_));
  c->xdo = xdo_new_with_opened_display(c->dpy, display_.empty() ? nullptr : display_.c_str(), 0);
  if (!c->xdo) Fail("XTEST non disponibile");
  c->xdo->quiet = 1;
  // libxdo reads the text it types with mbrtowc: give it UTF-8 on this
  // thread only, whatever the program's locale.
  c->utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  connection_ = std::move(c);
  return *connection_;
}

void KeyboardLinux::BindMissingCharacters(const std::vector<KeyEvent>& events) {
  Connection& c = *connection_;
  Display* d = c.Dpy();
  std::vector<KeySym> missing;
  for (const KeyEvent& e : events) {
    if (e.key != SpecialKey::Character || e.modifiers != 0 || e.character < 0x20 || e.character == 0x7F) continue;
    const KeySym ks = CharacterKeysym(e.character);
    if (c.bound.count(ks) || InKeymap(d, ks)) continue;
    if (std::find(missing.begin(), missing.end(), ks) == missing.end()) missing.push_back(ks);
  }
  if (missing.empty()) return;

  // Spare keycodes: those the keymap leaves without any symbol.
  int low = 0, high = 0;
  XDisplayKeycodes(d, &low, &high);
  int per = 0;
  KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &per);
  if (!map) return;
  c.keysymsPerKeycode = per;
  std::vector<KeyCode> spare;
  for (int kc = low; kc <= high; ++kc) {
    bool empty = true;
    for (int j = 0; j < per && empty; ++j) empty = map[(kc - low) * per + j] == NoSymbol;
    if (empty) spare.push_back(static_cast<KeyCode>(kc));
  }
  XFree(map);
  // Every level of the key carries the character, so it types as it is
  // without Shift: a lone letter would otherwise be read as lower case on
  // its first level, and "À" would arrive as "à".
  for (size_t i = 0; i < missing.size() && i < spare.size(); ++i) {
    std::vector<KeySym> syms(static_cast<size_t>(per), missing[i]);
    XChangeKeyboardMapping(d, spare[i], per, syms.data(), 1);
    c.bound[missing[i]] = spare[i];
  }
  XSync(d, False);
  // The receiving program reloads its keymap when it hears of the change;
  // a key pressed before that is read with the old one and lost.
  std::this_thread::sleep_for(std::chrono::milliseconds(kKeymapSettleMs));
  // libxdo learns the keymap when it is created: a fresh one sees the new
  // keys and types the characters on them instead of binding its own.
  if (xdo_t* fresh = xdo_new_with_opened_display(d, display_.empty() ? nullptr : display_.c_str(), 0)) {
    fresh->quiet = 1;
    xdo_free(c.xdo);
    c.xdo = fresh;
  }
}

void KeyboardLinux::AppActivate(const std::string& title, bool wait) {
  Connection& c = Connect();
  Display* d = c.Dpy();
  TrappolaErroriX trap(d);
  const auto windows = FindWindows(c.xdo, title);
  if (windows.empty()) Fail("nessuna finestra \"" + title + "\"", title);
  const Window w = windows.front();
  if (WmSupportsActiveWindow(d)) {
    xdo_activate_window(c.xdo, w);
  } else {
    // No manager to ask: raise it and take the input focus ourselves.
    xdo_raise_window(c.xdo, w);
    xdo_focus_window(c.xdo, w);
  }
  XSync(d, False);
  if (!wait) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(activationTimeoutMs_);
  while (!HasKeys(d, w)) {
    if (std::chrono::steady_clock::now() > deadline) Fail("la finestra \"" + title + "\" non si attiva", title);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // A window that has gone while we waited fails now, not at the deadline.
    if (FindWindows(c.xdo, title).empty()) Fail("la finestra \"" + title + "\" si e' chiusa", title);
  }
}

bool KeyboardLinux::IsActive(const std::string& title) {
  Connection& c = Connect();
  Display* d = c.Dpy();
  TrappolaErroriX trap(d);
  for (Window w : SelfAndAncestors(d, CurrentWindow(d)))
    if (WindowName(d, w) == title) return true;
  return false;
}

void KeyboardLinux::SendKeys(const std::string& keys, bool wait) {
  // Malformed notation fails here, before a single key is typed.
  const auto events = ParseKeystrokes(keys);
  Connection& c = Connect();
  Display* d = c.Dpy();
  TrappolaErroriX trap(d);
  BindMissingCharacters(events);
  const auto delay = static_cast<useconds_t>(keyDelayMs_) * 1000u;
  bool ok = true;
  std::string text;
  const auto typeText = [&] {
    if (text.empty()) return;
    const locale_t previous = c.utf8 ? uselocale(c.utf8) : static_cast<locale_t>(0);
    ok = xdo_enter_text_window(c.xdo, CURRENTWINDOW, text.c_str(), delay) == XDO_SUCCESS && ok;
    if (c.utf8) uselocale(previous);
    text.clear();
  };
  for (const KeyEvent& e : events) {
    if (e.key == SpecialKey::Character && e.modifiers == 0) {
      AppendUtf8(text, e.character);
      continue;
    }
    typeText();
    std::string sequence;
    if (e.modifiers & kModCtrl) sequence += "ctrl+";
    if (e.modifiers & kModAlt) sequence += "alt+";
    if (e.modifiers & kModShift) sequence += "shift+";
    sequence += e.key == SpecialKey::Character ? CharacterKeysymName(e.character) : KeysymName(e.key);
    ok = xdo_send_keysequence_window(c.xdo, CURRENTWINDOW, sequence.c_str(), delay) == XDO_SUCCESS && ok;
  }
  typeText();
  // The waiting form returns once the server has taken every key.
  if (wait)
    XSync(d, False);
  else
    XFlush(d);
  if (!ok) Fail("invio dei tasti non riuscito");
}

}  // namespace cw
