#pragma once
// The screen-wide mouse pointer, as an application override cursor: 11 the
// hourglass (Qt::WaitCursor), 13 the arrow with hourglass (Qt::BusyCursor),
// 0 the default. It is one value, not a stack: setting 13 over 11 replaces
// it, and 0 removes every override, ours or not.

namespace cw {

void ImpostaPuntatore(int valore);
// 11, 13 or 0, read back from the override in place.
int PuntatoreCorrente();

}  // namespace cw
