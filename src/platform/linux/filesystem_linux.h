#pragma once
// The file-system service over the host's files, through a drive table.

#include "platform/filesystem.h"
#include "platform/linux/drive_table_linux.h"

namespace cw {

class FileSystemLinux : public FileSystem {
 public:
  explicit FileSystemLinux(DriveTable drives) : drives_(std::move(drives)) {}

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

  const DriveTable& Drives() const { return drives_; }

 private:
  // CopyFileWhole, and with suDisco CopyFileWholeFlushed.
  void CopiaIntera(std::string_view source, std::string_view destination, bool suDisco);

  DriveTable drives_;
};

}  // namespace cw
