#pragma once
// The platform's own file service over a temporary prefix: drive C: is its
// drive_c folder, D: its drive_d, on Linux through the drive table and on
// Windows through the service's drive roots.

#include "support/prefisso_temporaneo.h"
#ifdef _WIN32
#include "platform/windows/filesystem_win32.h"
#else
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/filesystem_linux.h"
#endif

namespace cw::test {

#ifdef _WIN32
class FileSystemDiProva : public FileSystemWin32 {
 public:
  explicit FileSystemDiProva(const PrefissoTemporaneo& prefisso)
      : FileSystemWin32(RadiciUnita{{'C', prefisso.Dir() / "drive_c"}, {'D', prefisso.Dir() / "drive_d"}}) {}
};
#else
class FileSystemDiProva : public FileSystemLinux {
 public:
  explicit FileSystemDiProva(const PrefissoTemporaneo& prefisso) : FileSystemLinux(DriveTable(prefisso.Dir())) {}
};
#endif

}  // namespace cw::test
