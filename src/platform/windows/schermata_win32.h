#pragma once
// The whole desktop (every monitor) saved as a PNG file, through GDI.

#include <string>

namespace cw {

// False where the screen cannot be read or the file cannot be written.
bool SalvaSchermataGdi(const std::wstring& file);

}  // namespace cw
