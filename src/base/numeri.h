#pragma once
// Numbers typed by the user or read from the settings file. One rule for
// "is this text a number", shared by every module that asks it, so the
// settings reader and the version check never disagree.

#include <cstdint>
#include <string_view>

namespace cw {

// True when the whole text is a number: optional blanks (space, tab), an
// optional sign, digits with an optional decimal part (".5" and "5." count),
// an optional exponent ("e" or "E", optional sign, digits), optional blanks.
// The decimal separator is "." and nothing else; there is no thousands
// separator, whatever the user's locale. On success the value goes into
// valore (a value too small for a double becomes 0; one too large is not a
// number); on failure valore is left as it was.
bool ConvertiNumero(std::string_view testo, double& valore);

// Rounds to the nearest integer, a half going to the even neighbour, and
// stores it when it fits a signed 16-bit integer. False (risultato left as it
// was) outside -32768..32767 after rounding, and for NaN.
bool ArrotondaInt16(double valore, std::int16_t& risultato);

// A version number as the project files take it: optional leading blanks
// (space, tab), then digits only, of value 0 to kVersioneMassima (leading
// zeros allowed). No sign, decimal part, exponent or trailing text.
inline constexpr int kVersioneMassima = 9999;
bool NumeroDiVersione(std::string_view testo, int& valore);

}  // namespace cw
