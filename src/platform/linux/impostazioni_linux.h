#pragma once
// Where the settings file is on Linux: in the prefix the tool works on, as
// if the tool were installed there, so one prefix is one suite with its own
// version numbers, and an installed program never writes beside /usr/bin.

#include <string>

#include "platform/linux/drive_table_linux.h"

namespace cw {

// A host path that takes the settings file's place, for the window and the
// batch mode alike.
inline constexpr const char* kVariabileImpostazioni = "COMPILAWEXO_IMPOSTAZIONI";

// $COMPILAWEXO_IMPOSTAZIONI when it is set and not empty; otherwise the host
// path of "C:\Programmi\CompilaWexo\WexoUty.ini" in the prefix: the folders
// that exist as Windows finds them (ignoring letter case), the others as
// written, below the folder drive C: links to ("drive_c" of the prefix,
// also when the link is missing).
std::string FileImpostazioniLinux(const DriveTable& unita);

}  // namespace cw
