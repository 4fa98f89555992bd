#pragma once
// The folder of the running program, and the one its helper programs lie in.

#include <filesystem>

namespace cw {

// The host folder of the running executable, without a trailing separator
// (from /proc/self/exe; the current folder should the system not say).
std::filesystem::path CartellaEseguibile();

// The folder of the tool's helper programs (the registration workers, the
// windows/ folder of the Windows agents): on Linux, once installed,
// lib/compilawexo beside the program's own folder (/usr/bin/compilawexo
// finds /usr/lib/compilawexo); otherwise, as in a build tree and on Windows,
// the program's own folder.
std::filesystem::path CartellaAusiliari();

}  // namespace cw
