#pragma once
// Wine's first start in a prefix takes about ten seconds, during which the
// tool seems to hang. The front end is told when the tool has waited more
// than a second for the first Windows program it starts under Wine, and
// again when that wait is over: the batch mode says so on its standard
// error, the window shows the busy pointer meanwhile. On Windows nothing is
// ever told.

#include <functional>
#include <string>

namespace cw {

// prefisso: the prefix's host folder; inizio: true once the second has
// passed, false when the program has started (or the wait has given up).
using AvvisoAvvioWine = std::function<void(const std::string& prefisso, bool inizio)>;

// The batch mode's line, "Avvio di Wine nel prefisso '<prefix>'…".
inline std::string RigaAvvioWine(const std::string& prefisso) {
  return "Avvio di Wine nel prefisso '" + prefisso + "'…";
}

}  // namespace cw
