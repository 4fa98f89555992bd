#pragma once
// A host file replaced whole, the way every file of the tool's own is saved
// (the settings file, the reports): the new content goes into a fresh file in
// the same folder, reaches the disk, and is renamed over the old one, then the
// folder is flushed. A reader or a crash finds the old file or the new one,
// never half of one.

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace cw {

// Replaces file (created when missing) with contenuto. vecchio: the file's
// stat, whose owner and permission bits the new file takes; null for a new
// file (0666 less umask). The temporary files a save killed half way left
// beside it (".<file>.<pid>-<seed>-<n>.tmp", of a process that is gone or ten
// minutes old) are removed first. 0, or the errno of the step that failed,
// with no temporary file left.
int SostituisciFile(const std::string& file, std::string_view contenuto, const struct stat* vecchio);

}  // namespace cw
