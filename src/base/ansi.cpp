#include "base/ansi.h"

#include <array>
#include <cstdint>
#include <string>

namespace cw {
namespace {

// Code points of bytes 0x80..0x9F in Windows-1252.
constexpr std::array<char32_t, 32> kAlti = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one UTF-8 sequence at s[i]; returns U+FFFD for a malformed one and
// always advances i by at least one byte.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int len = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    ++i;
    return 0xFFFD;
  }
  if (i + static_cast<size_t>(len) > s.size()) {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += static_cast<size_t>(len);
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

int AnsiFromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t k = 0; k < kAlti.size(); ++k)
    if (kAlti[k] == cp) return static_cast<int>(0x80 + k);
  return -1;
}

char32_t UpperCodePoint(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp == 0xB5) return 0x039C;  // micro sign -> Greek capital mu
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
  if (cp == 0xFF) return 0x0178;  // sharp s (0xDF) has no one-letter capital: kept
  switch (cp) {
    case 0x0161: return 0x0160;
    case 0x0153: return 0x0152;
    case 0x017E: return 0x017D;
    case 0x0192: return 0x0191;
    default: return cp;
  }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const int b = AnsiFromCodePoint(NextCodePoint(utf8, i));
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string CaratteriFuoriAnsi(std::string_view utf8) {
  std::u32string visti;
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (AnsiFromCodePoint(cp) >= 0 || visti.find(cp) != std::u32string::npos) continue;
    visti += cp;
    AppendUtf8(out, cp);
  }
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 8);
  for (char c : ansi) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else if (b < 0xA0)
      AppendUtf8(out, kAlti[b - 0x80]);
    else
      AppendUtf8(out, b);
  }
  return out;
}

std::string MaiuscoloUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t start = i;
    const char32_t cp = NextCodePoint(utf8, i);
    if (cp == 0xFFFD && !(i - start == 3 && utf8.substr(start, 3) == "\xEF\xBF\xBD")) {
      out.append(utf8.substr(start, i - start));  // keep malformed bytes as they were
    } else {
      AppendUtf8(out, UpperCodePoint(cp));
    }
  }
  return out;
}

bool UgualiSenzaCasoAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (MinuscolaAscii(a[i]) != MinuscolaAscii(b[i])) return false;
  return true;
}

}  // namespace cw
