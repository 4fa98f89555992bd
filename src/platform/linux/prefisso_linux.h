#pragma once
// The Wine-style prefix checked at start-up: without it every command would
// stop at its first row with a bare "path not found".

#include <string>

#include "platform/linux/drive_table_linux.h"

namespace cw {

// "" when the prefix folder exists and holds dosdevices; otherwise the text
// of the box that names the folder looked for and how to set WINEPREFIX
// before starting programma.
std::string ProblemaPrefisso(const DriveTable& unita, const std::string& programma);

}  // namespace cw
