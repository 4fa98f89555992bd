#pragma once
// The arguments a settings-file write refuses on either platform: ones that
// would break the file's structure or could never be read back (the
// system's functions would write them raw).

#include <string_view>

namespace cw {

// False for a line end anywhere, "]" in the section, "=" in the key, a key
// starting with ";" or "[", a tab or vertical tab at either end of a name
// (dropped on reading, so the name could never be found again).
bool ArgomentiProfiloSicuri(std::string_view sezione, std::string_view chiave, std::string_view valore);

}  // namespace cw
