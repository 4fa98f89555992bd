#include "base/keystrokes.h"

#include <cstddef>

#include "base/ansi.h"
#include "base/errors.h"

namespace cw {
namespace {

struct TastoConNome {
  const char* name;
  SpecialKey key;
};

// Every spelling the notation accepts; the first one of a key is its own name.
constexpr TastoConNome kNamedKeys[] = {
    {"ENTER", SpecialKey::Enter},
    {"TAB", SpecialKey::Tab},
    {"ESC", SpecialKey::Escape},
    {"BACKSPACE", SpecialKey::Backspace},
    {"BS", SpecialKey::Backspace},
    {"BKSP", SpecialKey::Backspace},
    {"DEL", SpecialKey::Delete},
    {"DELETE", SpecialKey::Delete},
    {"INS", SpecialKey::Insert},
    {"INSERT", SpecialKey::Insert},
    {"HOME", SpecialKey::Home},
    {"END", SpecialKey::End},
    {"PGUP", SpecialKey::PageUp},
    {"PGDN", SpecialKey::PageDown},
    {"UP", SpecialKey::Up},
    {"DOWN", SpecialKey::Down},
    {"LEFT", SpecialKey::Left},
    {"RIGHT", SpecialKey::Right},
    {"F1", SpecialKey::F1},
    {"F2", SpecialKey::F2},
    {"F3", SpecialKey::F3},
    {"F4", SpecialKey::F4},
    {"F5", SpecialKey::F5},
    {"F6", SpecialKey::F6},
    {"F7", SpecialKey::F7},
    {"F8", SpecialKey::F8},
    {"F9", SpecialKey::F9},
    {"F10", SpecialKey::F10},
    {"F11", SpecialKey::F11},
    {"F12", SpecialKey::F12},
    {"F13", SpecialKey::F13},
    {"F14", SpecialKey::F14},
    {"F15", SpecialKey::F15},
    {"F16", SpecialKey::F16},
    {"CAPSLOCK", SpecialKey::CapsLock},
    {"NUMLOCK", SpecialKey::NumLock},
    {"SCROLLLOCK", SpecialKey::ScrollLock},
    {"BREAK", SpecialKey::Break},
    {"PRTSC", SpecialKey::PrintScreen},
    {"HELP", SpecialKey::Help},
};

constexpr std::string_view kSpecialCharacters = "+^%~()[]{}";

[[noreturn]] void Malformed(std::string_view why) { SollevaErrore(kChiamataNonValida, std::string(why)); }

class Analizzatore {
 public:
  explicit Analizzatore(std::string_view text) : text_(text) {}

  std::vector<KeyEvent> Run() {
    Sequence(0, false);
    return std::move(out_);
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  // One UTF-8 character; malformed bytes are malformed notation.
  char32_t NextCharacter() {
    const auto b0 = static_cast<unsigned char>(text_[pos_]);
    if (b0 < 0x80) {
      ++pos_;
      return b0;
    }
    size_t len;
    char32_t cp;
    if ((b0 & 0xE0) == 0xC0) {
      len = 2;
      cp = b0 & 0x1Fu;
    } else if ((b0 & 0xF0) == 0xE0) {
      len = 3;
      cp = b0 & 0x0Fu;
    } else if ((b0 & 0xF8) == 0xF0) {
      len = 4;
      cp = b0 & 0x07u;
    } else {
      Malformed("UTF-8 non valido");
    }
    if (pos_ + len > text_.size()) Malformed("UTF-8 troncato");
    for (size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(text_[pos_ + k]);
      if ((b & 0xC0) != 0x80) Malformed("UTF-8 non valido");
      cp = (cp << 6) | (b & 0x3Fu);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) Malformed("UTF-8 non valido");
    pos_ += len;
    return cp;
  }

  void Emit(SpecialKey key, char32_t character, unsigned modifiers, int times = 1) {
    for (int i = 0; i < times; ++i) out_.push_back({key, character, modifiers});
  }

  // Keys up to the end of the text or, inside a group, up to its ")".
  void Sequence(unsigned held, bool inGroup) {
    unsigned pending = 0;
    while (!AtEnd()) {
      const char c = Peek();
      if (c == '+' || c == '^' || c == '%') {
        ++pos_;
        pending |= c == '+' ? kModShift : c == '^' ? kModCtrl : kModAlt;
        continue;
      }
      if (c == ')') {
        if (!inGroup) Malformed("\")\" senza \"(\"");
        if (pending) Malformed("modificatore senza tasto");
        ++pos_;
        return;
      }
      const unsigned mods = held | pending;
      pending = 0;
      if (c == '(') {
        ++pos_;
        if (++depth_ > kMaxGroupDepth) Malformed("gruppi annidati troppo a fondo");
        Sequence(mods, true);
        --depth_;
      } else if (c == '~') {
        ++pos_;
        Emit(SpecialKey::Enter, 0, mods);
      } else if (c == '{') {
        ++pos_;
        Braced(mods);
      } else if (c == '}' || c == '[' || c == ']') {
        Malformed("carattere speciale fuori dalle graffe");
      } else {
        Emit(SpecialKey::Character, NextCharacter(), mods);
      }
    }
    if (inGroup) Malformed("\"(\" senza \")\"");
    if (pending) Malformed("modificatore senza tasto");
  }

  // After "{": a name or one character, an optional " count", then "}".
  // The first character always belongs to the name, so "{}}" and "{{}" are
  // the braces themselves.
  void Braced(unsigned mods) {
    if (AtEnd()) Malformed("\"{\" senza \"}\"");
    const size_t nameStart = pos_;
    const char32_t first = NextCharacter();
    size_t characters = 1;
    while (!AtEnd() && Peek() != '}' && Peek() != ' ') {
      NextCharacter();
      ++characters;
    }
    const std::string_view name = text_.substr(nameStart, pos_ - nameStart);
    int times = 1;
    if (!AtEnd() && Peek() == ' ') {
      ++pos_;
      if (AtEnd() || Peek() < '0' || Peek() > '9') Malformed("ripetizione senza numero");
      times = 0;
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
        times = times * 10 + (Peek() - '0');
        if (times > kMaxKeyRepeat) Malformed("ripetizione troppo lunga");
        ++pos_;
      }
    }
    if (AtEnd() || Peek() != '}') Malformed("\"{\" senza \"}\"");
    ++pos_;
    if (characters == 1) {
      Emit(SpecialKey::Character, first, mods, times);
      return;
    }
    for (const auto& k : kNamedKeys) {
      if (UgualiSenzaCasoAscii(name, k.name)) {
        Emit(k.key, 0, mods, times);
        return;
      }
    }
    Malformed("tasto sconosciuto {" + std::string(name) + "}");
  }

  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
  std::vector<KeyEvent> out_;
};

}  // namespace

std::vector<KeyEvent> ParseKeystrokes(std::string_view keys) { return Analizzatore(keys).Run(); }

std::string EscapeKeystrokes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  // Every special character is ASCII, so no byte of a multi-byte UTF-8
  // character is ever taken for one.
  for (char c : text) {
    if (kSpecialCharacters.find(c) != std::string_view::npos) {
      out += '{';
      out += c;
      out += '}';
    } else {
      out += c;
    }
  }
  return out;
}

const char* SpecialKeyName(SpecialKey key) {
  for (const auto& k : kNamedKeys)
    if (k.key == key) return k.name;
  return "";
}

}  // namespace cw
