#pragma once
// The menu bar: "Strumenti" with the window's tool commands, from the menu's
// table (commands/controlli.h) as the Qt window's.

#include <windows.h>

#include <map>
#include <string>

namespace cw {

// Item ids from here on, one per entry, in order.
inline constexpr int kPrimoIdMenu = 1000;

// The menu bar; nomi gets each entry's id -> control name ("mnuGeneraVbg").
HMENU CreaMenuStrumenti(std::map<int, std::string>& nomi);

}  // namespace cw
