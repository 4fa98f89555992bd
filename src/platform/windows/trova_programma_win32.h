#pragma once
// Where the system would find a program named on a command line.

#include <filesystem>
#include <optional>
#include <string>

namespace cw {

// The file a program word names: a path with a folder as it is (".exe"
// added to a name without one, as CreateProcess does), a bare name through
// the system's search (the program's folder, the current folder, the system
// folders, the PATH); none when there is no such file.
std::optional<std::filesystem::path> TrovaProgrammaWin32(const std::string& programma);

}  // namespace cw
