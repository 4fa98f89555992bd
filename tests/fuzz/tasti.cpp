// The keystroke notation: escaping any text and reading it back types that
// text literally, one plain key per character and no modifier; any bytes
// either read as keys or are refused with error 5, never anything else.

#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "base/keystrokes.h"
#include "fuzz/bersagli.h"
#include "fuzz/comune.h"

namespace cw::fuzz {
namespace {

// The characters of a UTF-8 text, or false when it is not well formed
// (overlong forms, surrogates and values past U+10FFFF included).
bool Caratteri(std::string_view s, std::u32string& out) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    char32_t cp = 0, minimo = 0;
    if (b < 0x80) {
      len = 1, cp = b;
    } else if (b >= 0xC2 && b < 0xE0) {
      len = 2, cp = b & 0x1Fu, minimo = 0x80;
    } else if (b >= 0xE0 && b < 0xF0) {
      len = 3, cp = b & 0x0Fu, minimo = 0x800;
    } else if (b >= 0xF0 && b < 0xF5) {
      len = 4, cp = b & 0x07u, minimo = 0x10000;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = cp << 6 | (c & 0x3Fu);
    }
    if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
    out += cp;
    i += len;
  }
  return true;
}

// Parses, telling a refusal (error 5) from keys; anything else escapes.
bool Leggi(std::string_view testo, std::vector<KeyEvent>& tasti) {
  try {
    tasti = ParseKeystrokes(testo);
    return true;
  } catch (const ErroreRuntime& e) {
    CW_VERIFICA(e.Numero() == kChiamataNonValida, "error " + std::to_string(e.Numero()) + " for " + Mostra(testo));
    return false;
  }
}

}  // namespace

int ProvaTasti(const std::uint8_t* dati, std::size_t n) {
  const std::string_view testo(reinterpret_cast<const char*>(dati), n);

  std::vector<KeyEvent> tasti;
  Leggi(testo, tasti);  // any bytes: keys or error 5

  const std::string protetto = EscapeKeystrokes(testo);
  std::u32string caratteri;
  const bool utf8 = Caratteri(testo, caratteri);
  const bool letto = Leggi(protetto, tasti);
  CW_VERIFICA(letto == utf8, Mostra(testo) + " escaped as " + Mostra(protetto) + (letto ? " read" : " refused"));
  if (!letto) return 0;
  CW_VERIFICA(tasti.size() == caratteri.size(), std::to_string(caratteri.size()) + " characters gave " +
                                                    std::to_string(tasti.size()) + " keys: " + Mostra(protetto));
  for (size_t i = 0; i < tasti.size(); ++i) {
    const KeyEvent atteso{SpecialKey::Character, caratteri[i], 0};
    CW_VERIFICA(tasti[i] == atteso, "key " + std::to_string(i) + " of " + Mostra(protetto) + " is not the character " +
                                        std::to_string(static_cast<unsigned long>(caratteri[i])));
  }
  return 0;
}

}  // namespace cw::fuzz
