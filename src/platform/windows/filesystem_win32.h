#pragma once
// The file-system service over the Win32 wide API. Windows paths are the
// system's own here: they are converted from UTF-8 at each call and go to
// the system as they are, so the system's own rules (drives, letter case,
// both separators) apply. The read-only attribute is Windows' own.

#include "platform/filesystem.h"

namespace cw {

class FileSystemWin32 : public FileSystem {
 public:
  bool FileExists(std::string_view path) override;
  bool FolderExists(std::string_view path) override;
  void CopyFile(std::string_view source, std::string_view destination, bool overwrite = true) override;
  void DeleteFile(std::string_view path, bool force = true) override;
  void RenameFile(std::string_view source, std::string_view destination) override;
  void CopyFileWhole(std::string_view source, std::string_view destination) override;
  void CheckWritable(std::string_view path) override;
  std::unique_ptr<TextStream> OpenTextFile(std::string_view path, IOMode mode, bool create = false) override;
  FolderListing GetFolder(std::string_view path) override;
};

}  // namespace cw
