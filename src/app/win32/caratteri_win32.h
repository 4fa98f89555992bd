#pragma once
// The window's fonts at the screen's resolution: Tahoma for the window and
// the log, MS Sans Serif inside the picture boxes, both at 8.25 points.

#include <windows.h>

#include <string>

namespace cw {

inline constexpr const char* kCarattereFinestra = "Tahoma";
inline constexpr const char* kCarattereContenitori = "MS Sans Serif";

// The screen's pixels per logical inch (96 at the usual setting).
int DpiSchermo();

// family at 8.25 pt, regular; the caller deletes it with DeleteObject.
HFONT CreaCarattere(const std::string& famiglia, int dpi);

// A font whose characters are all one width, for the reports whose columns
// must line up: famiglia if the system has it, else "Courier" (which Wine
// has where it lacks "Courier New"), else the system's own fixed font. The
// caller deletes it with DeleteObject (a no-op for the system's).
HFONT CreaCarattereFisso(const std::string& famiglia, int dpi);

// True when every character of the font has the same width.
bool PassoFisso(HFONT carattere);

}  // namespace cw
