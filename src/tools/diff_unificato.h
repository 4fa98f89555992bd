#pragma once
// The preview's diff: what a rewrite would change in one file, as a unified
// diff. The line rules map every line to exactly one line, so the two sides
// always have the same number of lines and no alignment search is needed.

#include <string>
#include <string_view>
#include <vector>

namespace cw {

struct DiffFile {
  std::string testo;      // UTF-8; empty when nothing changes
  int righeCambiate = 0;  // lines whose bytes differ
};

// "--- percorso" / "+++ percorso", then one hunk per run of changed lines with
// `contesto` unchanged lines around it (hunks whose context would touch are
// joined). The path is UTF-8, as every path of the program; lines are
// Windows-1252 bytes, each with its line end as the file has it (CR LF, LF, a
// lone CR, or none), and are compared whole: a line whose only change is its
// end is a changed line. They are shown as UTF-8 without their ends, every
// byte kept (a NUL too); a changed line whose end differs from its
// counterpart's names it on both sides (" (a capo LF)", " (a capo CR LF)",
// " (senza a capo)"). Every output line ends with "\n".
DiffFile DiffUnificato(std::string_view percorso, const std::vector<std::string>& prima,
                       const std::vector<std::string>& dopo, int contesto = 1);

}  // namespace cw
