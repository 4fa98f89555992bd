#pragma once
// Texts at the edge of the wide API: the program holds UTF-8, Windows takes
// and gives UTF-16.

#include <string>
#include <string_view>

namespace cw {

// Invalid UTF-8 becomes U+FFFD, so a path that cannot be named is a path
// not found rather than another file.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace cw
