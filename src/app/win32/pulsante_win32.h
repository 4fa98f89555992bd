#pragma once
// The command buttons draw themselves: the classic bevel, and the caption
// wrapped onto more lines within a narrow margin, centred both ways, as the
// form's buttons show it; the system button's wider margin cuts the longest
// caption ("Backup, compatibilità e compilazione") to three lines.

#include <windows.h>

namespace cw {

void DisegnaPulsante(const DRAWITEMSTRUCT& d);

}  // namespace cw
