#pragma once
// The run-time error a failed Win32 call stands for: the same numbers the
// Linux service raises for the same cases.

#include <string_view>

namespace cw {

// Maps a GetLastError code. missingIsFolder: whether "file not found" means
// the folder (76) rather than the file (53), as for a file being created.
int ErroreDaWin32(unsigned long codice, bool missingIsFolder);

// Raises the error for codice, from the call named call on the Windows path.
[[noreturn]] void SollevaErroreWin32(unsigned long codice, bool missingIsFolder, const char* call,
                                     std::string_view percorso);

}  // namespace cw
