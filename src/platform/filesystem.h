#pragma once
// The file-system service: the operations the commands call on the window's
// file-system object, over Windows paths ("C:\Progetti VB\Wexo\..."). Every
// failure raises ErroreRuntime; no caller tests a result code.
//
// Contents are bytes in the ANSI code page: a stream hands out and takes
// lines exactly as they stand in the file, never converted.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_stream.h"

namespace cw {

// A folder as GetFolder gives it: its own path and the names of the files
// directly inside it, in the order the platform lists them (a link to a file
// is a file); and the names of its other entries (folders, links that lead to
// no file, FIFOs, devices), so that nothing in it goes unseen where any entry
// of a name matters.
struct FolderListing {
  std::string Path;
  std::vector<std::string> FileNames;
  std::vector<std::string> AltreVoci;
};

// What a path names, a link in its last component taken as the link itself:
// on Linux a symbolic link, on Windows a reparse point (a symbolic link or a
// junction), whatever it leads to.
enum class TipoVoce { Nessuna, File, Cartella, Collegamento, Altro };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Never fail: a missing path (or drive) answers false.
  virtual bool FileExists(std::string_view path) = 0;
  virtual bool FolderExists(std::string_view path) = 0;
  // The entry itself, its last component not followed: Altro for a FIFO, a
  // device or a socket. Never fails: Nessuna when nothing is there.
  virtual TipoVoce Tipo(std::string_view path) = 0;
  // The destination becomes a copy of the source. A failure leaves an
  // existing destination as it was.
  virtual void CopyFile(std::string_view source, std::string_view destination, bool overwrite = true) = 0;
  // With force, a read-only file is deleted too.
  virtual void DeleteFile(std::string_view path, bool force = true) = 0;
  // The source takes the destination's name in one step; an existing
  // destination is replaced (refused with error 70 when it is read-only).
  // Both lie in the same folder.
  virtual void RenameFile(std::string_view source, std::string_view destination) = 0;
  // The destination becomes a whole copy of the source in one step: the copy
  // is written beside it as destination + "~" and renamed over it, so at every
  // instant the destination is as it was or the whole copy. The copy can be
  // written whatever the source's read-only attribute.
  virtual void CopyFileWhole(std::string_view source, std::string_view destination) = 0;
  // CopyFileWhole, and on the disk before it returns: the copy's data is
  // flushed before the rename and the rename after it, so that not even a
  // power cut leaves the destination empty or missing once this returned.
  // For a copy that is about to be the only whole one (the rewrite's "_tmp").
  virtual void CopyFileWholeFlushed(std::string_view source, std::string_view destination) = 0;
  // Puts the file's data and its name in its folder on the disk: after it, a
  // power cut leaves the file as it is now. For a file just rewritten, before
  // the only other whole copy of its content goes.
  virtual void FlushFile(std::string_view path) = 0;
  // Raises the run-time error that creating, rewriting or replacing path would
  // raise (76 no folder, 75 not a plain file, 70 read-only file or a folder
  // that takes no new files); returns when it can be written.
  virtual void CheckWritable(std::string_view path) = 0;
  // ForReading: the file must exist unless create is true. ForWriting: the
  // file is emptied at once (created when create is true).
  virtual std::unique_ptr<TextStream> OpenTextFile(std::string_view path, IOMode mode, bool create = false) = 0;
  virtual FolderListing GetFolder(std::string_view path) = 0;
};

}  // namespace cw
