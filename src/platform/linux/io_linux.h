#pragma once
// Small helpers over file descriptors for the Linux file service: whole
// reads and writes that survive short transfers, and the error raised for a
// failed host call.

#include <string>
#include <string_view>

namespace cw {

// Reads fd to its end, appending to out. 0, or the errno of the failure.
int LeggiFinoAllaFine(int fd, std::string& out, size_t sizeHint);

// Writes all of data. 0, or the errno of the failure.
int ScriviTuttoFd(int fd, std::string_view data);

// Writes all of data at offset 0 (pwrite). 0, or the errno of the failure.
int ScriviTuttoDaCapo(int fd, std::string_view data);

// The last lines (at most righe, empty ones left out) of what the file open
// as fd holds, read from its end, joined by LF: what Wine said of a start
// that failed.
std::string UltimeRighe(int fd, size_t righe);

// Raises the run-time error for errno err of a host call on host.
// missingIsFolder: whether ENOENT means the folder (76) rather than the file (53).
// percorso: the Windows path the caller named, shown in the box.
[[noreturn]] void SollevaErroreErrno(int err, bool missingIsFolder, const std::string& host, const char* call,
                                     std::string_view percorso);

}  // namespace cw
