#pragma once
// A file service that passes every call on to another one, counts and
// records it, and makes chosen calls fail. Tests use it to see the order of
// the file operations a command makes and what the command leaves behind
// when one of them fails.
//
// Every call counts as one operation, numbered from 1 in the order made:
// FileExists, FolderExists, CopyFile, DeleteFile, OpenTextFile, GetFolder,
// RenameFile, CopyFileWhole, CopyFileWholeFlushed, FlushFile, CheckWritable, Tipo,
// and on the streams it hands out AtEndOfStream, ReadLine, ReadAll,
// WriteLine, Write and Close (a stream's destructor is not a call). A call
// chosen to fail raises ErroreRuntime with the chosen number instead of
// reaching the inner service; it is counted and recorded all the same.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"

namespace cw {

class FaultInjectingFileSystem : public FileSystem {
 public:
  enum class Op {
    FileExists,
    FolderExists,
    CopyFile,
    DeleteFile,
    OpenTextFile,
    GetFolder,
    AtEndOfStream,
    ReadLine,
    ReadAll,
    WriteLine,
    Write,
    Close,
    RenameFile,
    CopyFileWhole,
    CheckWritable,
    CopyFileWholeFlushed,
    FlushFile,
    Tipo,
  };

  struct Call {
    long number = 0;  // from 1
    Op op{};
    std::string path;            // the path called with; a stream's call: the path it was opened on
    std::string target;          // CopyFile, CopyFileWhole(Flushed), RenameFile: the destination
    std::optional<IOMode> mode;  // OpenTextFile
    bool failed = false;         // made to fail here
  };

  // Which calls fail. A fault picks out the calls it applies to (all of its
  // set conditions hold), and the occurrence-th of them fails; with
  // persistent, every one from there on fails too.
  struct Fault {
    int error = 0;
    std::optional<Op> op;      // only calls of this kind
    std::string pathContains;  // only calls whose path (or CopyFile's destination) holds this text
    long number = 0;           // only the call with this number (0: any)
    long occurrence = 1;
    bool persistent = false;
  };

  // The inner service must outlive this one and every stream it hands out.
  explicit FaultInjectingFileSystem(FileSystem& inner);
  ~FaultInjectingFileSystem() override;

  void Inject(Fault fault);
  // Call number n fails with error.
  void FailCall(long n, int error);
  // The nth call whose path contains text fails with error (of kind op, if given).
  void FailNthWithPath(std::string text, long n, int error, std::optional<Op> op = std::nullopt);
  void ClearFaults();

  // Calls made so far, failed ones included.
  long CallCount() const;
  const std::vector<Call>& Trace() const;
  // The trace as "Op path" lines ("CopyFile source -> destination", the same
  // for CopyFileWhole, CopyFileWholeFlushed and RenameFile,
  // "OpenTextFile path ForWriting").
  std::vector<std::string> TraceLines() const;
  void ClearTrace();  // the numbering goes on

  static const char* Name(Op op);

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

  struct State;

 private:
  FileSystem& inner_;
  std::shared_ptr<State> state_;  // shared with the streams
};

}  // namespace cw
