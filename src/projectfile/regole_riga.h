#pragma once
// Line rules: what a rewrite does to each line of a project or form file.
// A rule takes one line as it stands in the file (Windows-1252 bytes, no line
// end) and gives the line to write back. Rules are built once per operation,
// from values already in the file's code page, and then run on every line.
// A replacement text holding CR or LF is refused when the rule is built
// (run-time error 5): a rule never adds lines.

#include <functional>
#include <string>
#include <vector>

namespace cw {

using RegolaRiga = std::function<std::string(std::string riga)>;

// A line whose first bytes are exactly chiave (which carries its "=") becomes
// chiave + valore; anything after the "=" is dropped. Case-sensitive, no
// trimming: a shorter line or one with blanks before the key never matches.
RegolaRiga RegolaPrefisso(std::string chiave, std::string valore);

// A line that is exactly testo becomes sostituto.
RegolaRiga RegolaRigaIntera(std::string testo, std::string sostituto);

// Every occurrence of vecchio, left to right and without overlaps, becomes
// nuovo; the text just written is never searched again. An empty vecchio
// matches nothing.
RegolaRiga RegolaSottostringa(std::string vecchio, std::string nuovo);

// The rules tried one after the other, each on the line the previous ones
// left.
RegolaRiga InSequenza(std::vector<RegolaRiga> regole);

}  // namespace cw
