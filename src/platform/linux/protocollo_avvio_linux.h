#pragma once
// What the launcher of a Windows program under Wine (compilawexo-avvio.exe)
// and the tool say to each other over the launcher's standard input and
// output, one line each, ending in LF:
//
//   launcher: kPronto               once the program has been started
//   tool:     kFinestre             when a wait for the program has passed its limit
//   launcher: kFinestra <hex>       a top-level window of the program (or of what
//                                   it started), its caption
//             kTesto <hex>          a text of that window's controls, in order
//             kFine                 the end of the answer
//
// Texts travel as hex of their UTF-8 bytes, so no code page and no line end
// inside a text can touch the protocol. A word and its text are separated by
// one tab. The program's host path and command line reach the launcher in
// CW_AVVIO_PROGRAMMA and CW_AVVIO_RIGA in the same hex, which Wine's conversion
// of the environment passes unchanged whatever the locale.

#include <string>
#include <string_view>

namespace cw::avvio {

inline constexpr const char* kPronto = "pronto";
inline constexpr const char* kFinestre = "finestre";
inline constexpr const char* kFinestra = "finestra";
inline constexpr const char* kTesto = "testo";
inline constexpr const char* kFine = "fine";

inline std::string Esadecimale(std::string_view testo) {
  static constexpr char kCifre[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(testo.size() * 2);
  for (const unsigned char c : testo) {
    hex += kCifre[c >> 4];
    hex += kCifre[c & 15];
  }
  return hex;
}

// The bytes back; false for an odd length or a character that is no hex digit.
inline bool DaEsadecimale(std::string_view hex, std::string& testo) {
  auto cifra = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2) return false;
  testo.clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int alta = cifra(hex[i]), bassa = cifra(hex[i + 1]);
    if (alta < 0 || bassa < 0) return false;
    testo += static_cast<char>(alta * 16 + bassa);
  }
  return true;
}

}  // namespace cw::avvio
