#pragma once
// The file-system service over the Win32 wide API. Windows paths are the
// system's own here: they are converted from UTF-8 at each call and go to
// the system as they are, so the system's own rules (drives, letter case,
// both separators) apply. The read-only attribute is Windows' own.

#include <filesystem>
#include <map>

#include "platform/filesystem.h"

namespace cw {

// Drive letters (upper case) and the folders that stand for their roots.
using RadiciUnita = std::map<char, std::filesystem::path>;

class FileSystemWin32 : public FileSystem {
 public:
  // radici: drives whose root is another folder ("C:\x" is radici['C'] /
  // "x"), so tests work in a folder of their own; other drives, and every
  // drive when there are none, are the system's.
  explicit FileSystemWin32(RadiciUnita radici = {}) : radici_(std::move(radici)) {}

  bool FileExists(std::string_view path) override;
  bool FolderExists(std::string_view path) override;
  TipoVoce Tipo(std::string_view path) override;
  void CopyFile(std::string_view source, std::string_view destination, bool overwrite = true) override;
  void DeleteFile(std::string_view path, bool force = true) override;
  void RenameFile(std::string_view source, std::string_view destination) override;
  void CopyFileWhole(std::string_view source, std::string_view destination) override;
  void CopyFileWholeFlushed(std::string_view source, std::string_view destination) override;
  void FlushFile(std::string_view path) override;
  void CheckWritable(std::string_view path) override;
  std::unique_ptr<TextStream> OpenTextFile(std::string_view path, IOMode mode, bool create = false) override;
  FolderListing GetFolder(std::string_view path) override;

 private:
  // The path as the system is handed it, in UTF-16.
  std::wstring Nativo(std::string_view path) const;

  RadiciUnita radici_;
};

}  // namespace cw
