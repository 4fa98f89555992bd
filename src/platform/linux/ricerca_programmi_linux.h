#pragma once
// Where a program named on a Windows command line is on the host: a Windows
// path through the drive table, a bare name in the program's own folder and
// the prefix's system folders (as Windows searches them), or an absolute
// host path.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux/drive_table_linux.h"

namespace cw {

class RicercaProgrammiLinux {
 public:
  // cartellaProgramma: where a bare name is looked for first; empty: the
  // folder of the running executable.
  RicercaProgrammiLinux(DriveTable drives, std::filesystem::path cartellaProgramma = {});

  // The host program; nullopt when there is none.
  std::optional<std::filesystem::path> Trova(const std::string& programma) const;

 private:
  DriveTable drives_;
  std::filesystem::path cartellaProgramma_;
};

}  // namespace cw
