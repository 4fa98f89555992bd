#include "platform/windows/keyboard_win32.h"

#include <windows.h>

#include <vector>

#include "base/errors.h"
#include "base/keystrokes.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

WORD CodiceVirtuale(SpecialKey k) {
  switch (k) {
    case SpecialKey::Enter: return VK_RETURN;
    case SpecialKey::Tab: return VK_TAB;
    case SpecialKey::Escape: return VK_ESCAPE;
    case SpecialKey::Backspace: return VK_BACK;
    case SpecialKey::Delete: return VK_DELETE;
    case SpecialKey::Insert: return VK_INSERT;
    case SpecialKey::Home: return VK_HOME;
    case SpecialKey::End: return VK_END;
    case SpecialKey::PageUp: return VK_PRIOR;
    case SpecialKey::PageDown: return VK_NEXT;
    case SpecialKey::Up: return VK_UP;
    case SpecialKey::Down: return VK_DOWN;
    case SpecialKey::Left: return VK_LEFT;
    case SpecialKey::Right: return VK_RIGHT;
    case SpecialKey::CapsLock: return VK_CAPITAL;
    case SpecialKey::NumLock: return VK_NUMLOCK;
    case SpecialKey::ScrollLock: return VK_SCROLL;
    case SpecialKey::Break: return VK_CANCEL;
    case SpecialKey::PrintScreen: return VK_SNAPSHOT;
    case SpecialKey::Help: return VK_HELP;
    case SpecialKey::Character: return 0;
    default: break;
  }
  const int f = static_cast<int>(k) - static_cast<int>(SpecialKey::F1);
  return static_cast<WORD>(VK_F1 + f);
}

// Keys that sit outside the main block: without the flag the system takes
// them for their twins on the number pad.
bool Estesa(WORD vk) {
  switch (vk) {
    case VK_DELETE:
    case VK_INSERT:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_NUMLOCK:
    case VK_CANCEL:
    case VK_SNAPSHOT: return true;
    default: return false;
  }
}

void Tasto(std::vector<INPUT>& out, WORD vk, bool giu) {
  INPUT i{};
  i.type = INPUT_KEYBOARD;
  i.ki.wVk = vk;
  i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  i.ki.dwFlags = (giu ? 0 : KEYEVENTF_KEYUP) | (Estesa(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  out.push_back(i);
}

void Unicode(std::vector<INPUT>& out, wchar_t unita) {
  for (const bool giu : {true, false}) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wScan = static_cast<WORD>(unita);
    i.ki.dwFlags = KEYEVENTF_UNICODE | (giu ? 0 : KEYEVENTF_KEYUP);
    out.push_back(i);
  }
}

// One key of the notation as presses and releases: the modifiers around the
// key the keyboard layout gives the character (with its own Shift, so "+a"
// and "A" both come out as Shift+A), or, for a character the layout has no
// key for, the character itself.
void Evento(std::vector<INPUT>& out, const KeyEvent& e) {
  unsigned modificatori = e.modifiers;
  WORD vk = CodiceVirtuale(e.key);
  bool unicode = false;
  if (e.key == SpecialKey::Character) {
    const SHORT k = e.character <= 0xFFFF ? VkKeyScanW(static_cast<wchar_t>(e.character)) : SHORT{-1};
    if (k == -1 || (HIBYTE(k) & 6) != 0) {  // none, or only with AltGr: typed as text
      unicode = true;
    } else {
      vk = LOBYTE(k);
      if (HIBYTE(k) & 1) modificatori |= kModShift;
    }
  }
  const std::pair<unsigned, WORD> mods[] = {{kModShift, VK_SHIFT}, {kModCtrl, VK_CONTROL}, {kModAlt, VK_MENU}};
  for (const auto& [bit, tasto] : mods)
    if (modificatori & bit) Tasto(out, tasto, true);
  if (unicode) {
    if (e.character > 0xFFFF) {
      const char32_t c = e.character - 0x10000;
      Unicode(out, static_cast<wchar_t>(0xD800 + (c >> 10)));
      Unicode(out, static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    } else {
      Unicode(out, static_cast<wchar_t>(e.character));
    }
  } else {
    Tasto(out, vk, true);
    Tasto(out, vk, false);
  }
  for (auto it = std::rbegin(mods); it != std::rend(mods); ++it)
    if (modificatori & it->first) Tasto(out, it->second, false);
}

HWND Finestra(const std::string& titolo) { return FindWindowW(nullptr, Wide(titolo).c_str()); }

std::string Titolo(HWND w) {
  const int n = GetWindowTextLengthW(w);
  std::wstring t(static_cast<size_t>(n) + 1, L'\0');
  const int k = GetWindowTextW(w, t.data(), n + 1);
  t.resize(static_cast<size_t>(k > 0 ? k : 0));
  return Utf8(t);
}

}  // namespace

void KeyboardWin32::AppActivate(const std::string& title, bool wait) {
  const HWND w = Finestra(title);
  if (!w) SollevaErrore(kChiamataNonValida, "nessuna finestra \"" + title + "\"", title);
  if (IsIconic(w)) ShowWindow(w, SW_RESTORE);
  SetForegroundWindow(w);
  if (!wait) return;
  const ULONGLONG fine = GetTickCount64() + static_cast<ULONGLONG>(attesaAttivazioneMs_);
  while (GetForegroundWindow() != w) {
    if (!IsWindow(w)) SollevaErrore(kChiamataNonValida, "la finestra \"" + title + "\" si e' chiusa", title);
    if (GetTickCount64() > fine)
      SollevaErrore(kChiamataNonValida, "la finestra \"" + title + "\" non si attiva", title);
    Sleep(10);
    SetForegroundWindow(w);
  }
}

bool KeyboardWin32::IsActive(const std::string& title) {
  const HWND w = GetForegroundWindow();
  return w && Titolo(w) == title;
}

void KeyboardWin32::SendKeys(const std::string& keys, bool /*wait*/) {
  // Malformed notation fails here, before a single key is typed.
  const auto eventi = ParseKeystrokes(keys);
  std::vector<INPUT> input;
  for (const KeyEvent& e : eventi) Evento(input, e);
  if (input.empty()) return;
  // SendInput puts the keys in the input stream as one piece, so no key
  // typed by the user falls in between; it has queued them when it returns.
  const UINT inviati = SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
  if (inviati != input.size()) SollevaErrore(kChiamataNonValida, "SendInput: errore " + std::to_string(GetLastError()));
}

}  // namespace cw
