#pragma once
// A PNG file of an image, for the screenshot taken when a compile has passed
// its limit. No library is needed: the pixels are deflated with the fixed
// codes of the format and a plain search for repeats, which suits screens
// (large areas of one colour, rows like the one above).

#include <cstdint>
#include <string>
#include <string_view>

namespace cw {

// rgb: larghezza * altezza pixels, three bytes each (red, green, blue), row
// after row from the top. The whole file's bytes; "" when the sizes do not
// match the pixels or either is 0.
std::string CodificaPng(std::uint32_t larghezza, std::uint32_t altezza, std::string_view rgb);

}  // namespace cw
