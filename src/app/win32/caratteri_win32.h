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

}  // namespace cw
