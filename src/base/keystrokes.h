#pragma once
// The keystroke notation of SendKeys, read into the keys it stands for, and
// the escaper that makes any text type literally.
//
//   {ENTER} {TAB} {ESC} ... {F16}   a named key (names ignore letter case)
//   {x}                             the character x itself, also + ^ % ~ ( ) [ ] { }
//   {KEY n} / {x n}                 the key or character n times
//   + ^ %                           Shift, Ctrl, Alt held for the next key or (group)
//   ~                               Enter
//   anything else                   that character
//
// Malformed notation raises run-time error 5, before anything is typed.

#include <string>
#include <string_view>
#include <vector>

namespace cw {

enum KeyModifier : unsigned { kModShift = 1, kModCtrl = 2, kModAlt = 4 };

enum class SpecialKey {
  Character,  // not a named key: KeyEvent::character
  Enter,
  Tab,
  Escape,
  Backspace,
  Delete,
  Insert,
  Home,
  End,
  PageUp,
  PageDown,
  Up,
  Down,
  Left,
  Right,
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  F13,
  F14,
  F15,
  F16,
  CapsLock,
  NumLock,
  ScrollLock,
  Break,
  PrintScreen,
  Help,
};

// One key pressed and released, with the modifiers held around it.
struct KeyEvent {
  SpecialKey key = SpecialKey::Character;
  char32_t character = 0;  // when key is Character
  unsigned modifiers = 0;  // KeyModifier bits

  bool operator==(const KeyEvent&) const = default;
};

// The keys a keystroke string stands for, repeats expanded. The text is
// UTF-8; malformed UTF-8 is malformed notation too.
std::vector<KeyEvent> ParseKeystrokes(std::string_view keys);

// The text with every character the notation treats as special put in
// braces, so ParseKeystrokes gives back exactly the text's characters.
std::string EscapeKeystrokes(std::string_view text);

// The notation's own name of a named key ("ENTER", "PGUP", "F12").
const char* SpecialKeyName(SpecialKey key);

// A repeat count above this is refused as malformed: nobody means it, and
// it would only tie the window up.
inline constexpr int kMaxKeyRepeat = 10000;
// Deepest nesting of parenthesised groups; deeper notation is malformed
// (groups are read recursively, and a text must never exhaust the stack).
inline constexpr int kMaxGroupDepth = 100;

}  // namespace cw
