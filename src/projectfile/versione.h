#pragma once
// The revision number of the version fields and its automatic increment: one
// reading per click, which both the check before anything is touched and the
// increment after the build use.

#include <cstdint>
#include <optional>
#include <string_view>

namespace cw {

struct RevisioneLetta {
  bool numero = false;  // the text is a number at all
  // The text read as a 16-bit integer (to the nearest, a half to the even
  // neighbour) plus 1; none when it is no number, does not fit in 16 bits or
  // is already 32767.
  std::optional<std::int16_t> successiva;
};

RevisioneLetta LeggiRevisione(std::string_view testo);

// The check of the three version texts before anything is touched: each a
// whole number from 0 to 9999, and with the increment on a revision below
// 9999, so the incremented one is accepted next time (its own message says
// so). The message of the first text that fails, or none.
const char* VersioneNonValida(std::string_view principale, std::string_view secondario, std::string_view revisione,
                              bool incremento);

}  // namespace cw
