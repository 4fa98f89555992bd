#pragma once
// The ANSI code page is Windows-1252. Texts inside the program are UTF-8;
// file contents stay bytes and are converted only where they meet the user.

#include <string>
#include <string_view>

namespace cw {

// UTF-8 to Windows-1252; a character 1252 cannot hold (or a malformed
// sequence) becomes "?".
std::string Utf8ToAnsi(std::string_view utf8);

// The characters of a UTF-8 text that Windows-1252 cannot hold, each once,
// in the order they first appear (a malformed sequence as U+FFFD); "" when
// Utf8ToAnsi would keep every character.
std::string CaratteriFuoriAnsi(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes 1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows does,
// so every byte survives a round trip.
std::string AnsiToUtf8(std::string_view ansi);

// Unicode upper-casing of a UTF-8 text, as the log shows file names. Covers
// the letters Windows-1252 can hold (Latin-1 and the 1252 extras), which is
// every name that can come from a file or from the catalogue; other
// characters pass unchanged.
std::string MaiuscoloUtf8(std::string_view utf8);

// Letter case of the ASCII letters only, every other byte unchanged: for the
// names and words that are ASCII by rule (drive letters, key and variable
// names, the words of the error file) or that Windows compares so.
inline char MinuscolaAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline char MaiuscolaAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool UgualiSenzaCasoAscii(std::string_view a, std::string_view b);

// Appends one code point, encoded as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace cw
