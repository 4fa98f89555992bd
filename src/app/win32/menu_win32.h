#pragma once
// The menu bar: "Strumenti" with the window's tool commands, in the order and
// with the separators of the Qt window's menu.

#include <windows.h>

#include <map>
#include <string>

namespace cw {

// Item ids from here on, one per entry, in order.
inline constexpr int kPrimoIdMenu = 1000;

// The menu bar; nomi gets each entry's id -> control name ("mnuGeneraVbg").
HMENU CreaMenuStrumenti(std::map<int, std::string>& nomi);

}  // namespace cw
