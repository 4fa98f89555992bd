#pragma once
// The log line conventions of the command frame and of every walk over the
// catalogue: a step is announced while it runs, then its line gets its final
// text. The frame's closing "Pronto" is announced the same way. They sit here,
// below every library that walks the catalogue, so the walks and the frame
// (src/commands/cornice.h) share one definition.

#include <string>

#include "base/ui.h"

namespace cw {

// Announces a step: appends the line, selects it and repaints, so it shows
// while the step runs.
inline void AnnunciaPasso(Ui& ui, const std::string& line) {
  ui.LogAddItem(line);
  ui.LogSelect(ui.LogCount() - 1);
  ui.LogRefresh();
}
// Overwrites the announced (last) line with its final text; the selection is
// not moved. The compile loop pumps events instead of repainting, so it
// passes repaint = false.
inline void ConcludiPasso(Ui& ui, const std::string& line, bool repaint = true) {
  ui.LogSetItem(ui.LogCount() - 1, line);
  if (repaint) ui.LogRefresh();
}

}  // namespace cw
