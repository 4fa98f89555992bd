#pragma once
// A line of the trace (platform/traccia.h) as both platforms write it:
// "   12.345678 avvio: ...", the seconds since the trace began, its kind and
// the text on one line whatever the text holds.

#include <chrono>
#include <string>
#include <string_view>

namespace cw {

std::string RigaTraccia(std::chrono::steady_clock::duration da_inizio, std::string_view tipo, std::string_view testo);

}  // namespace cw
