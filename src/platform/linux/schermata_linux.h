#pragma once
// The screen of the X11 display in $DISPLAY (where Wine shows its windows
// too), saved as a PNG file.

#include <filesystem>

namespace cw {

// False where no display can be opened or the file cannot be written.
bool SalvaSchermataX11(const std::filesystem::path& file);

}  // namespace cw
