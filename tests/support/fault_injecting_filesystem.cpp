#include "support/fault_injecting_filesystem.h"

#include "base/errors.h"

namespace cw {

struct FaultInjectingFileSystem::State {
  struct Armed {
    Fault fault;
    long seen = 0;  // matching calls so far
  };
  long count = 0;
  std::vector<Call> trace;
  std::vector<Armed> faults;

  static bool Matches(const Fault& f, const Call& c) {
    if (f.op && *f.op != c.op) return false;
    if (f.number != 0 && f.number != c.number) return false;
    if (!f.pathContains.empty() && c.path.find(f.pathContains) == std::string::npos &&
        c.target.find(f.pathContains) == std::string::npos)
      return false;
    return true;
  }

  // Numbers and records one call; raises when a fault picks it out.
  void Enter(Op op, std::string_view path, std::string_view target = {}, std::optional<IOMode> mode = {}) {
    Call c;
    c.number = ++count;
    c.op = op;
    c.path = path;
    c.target = target;
    c.mode = mode;
    int error = 0;
    for (auto& a : faults) {
      if (!Matches(a.fault, c)) continue;
      ++a.seen;
      if (a.seen == a.fault.occurrence || (a.fault.persistent && a.seen > a.fault.occurrence)) {
        if (!error) error = a.fault.error;
      }
    }
    c.failed = error != 0;
    const long number = c.number;
    trace.push_back(std::move(c));
    if (error) SollevaErrore(error, "injected at call " + std::to_string(number));
  }
};

namespace {

using Op = FaultInjectingFileSystem::Op;

class FaultInjectingStream : public TextStream {
 public:
  FaultInjectingStream(std::unique_ptr<TextStream> inner, std::string path,
                       std::shared_ptr<FaultInjectingFileSystem::State> state)
      : inner_(std::move(inner)), path_(std::move(path)), state_(std::move(state)) {}

  bool AtEndOfStream() override {
    state_->Enter(Op::AtEndOfStream, path_);
    return inner_->AtEndOfStream();
  }
  std::string ReadLine() override {
    state_->Enter(Op::ReadLine, path_);
    return inner_->ReadLine();
  }
  std::string ReadAll() override {
    state_->Enter(Op::ReadAll, path_);
    return inner_->ReadAll();
  }
  void WriteLine(std::string_view text) override {
    state_->Enter(Op::WriteLine, path_);
    inner_->WriteLine(text);
  }
  void Write(std::string_view text) override {
    state_->Enter(Op::Write, path_);
    inner_->Write(text);
  }
  void Close() override {
    state_->Enter(Op::Close, path_);
    inner_->Close();
  }

 private:
  std::unique_ptr<TextStream> inner_;
  std::string path_;
  std::shared_ptr<FaultInjectingFileSystem::State> state_;
};

}  // namespace

FaultInjectingFileSystem::FaultInjectingFileSystem(FileSystem& inner)
    : inner_(inner), state_(std::make_shared<State>()) {}

FaultInjectingFileSystem::~FaultInjectingFileSystem() = default;

void FaultInjectingFileSystem::Inject(Fault fault) { state_->faults.push_back({std::move(fault), 0}); }

void FaultInjectingFileSystem::FailCall(long n, int error) {
  Fault f;
  f.error = error;
  f.number = n;
  Inject(std::move(f));
}

void FaultInjectingFileSystem::FailNthWithPath(std::string text, long n, int error, std::optional<Op> op) {
  Fault f;
  f.error = error;
  f.pathContains = std::move(text);
  f.occurrence = n;
  f.op = op;
  Inject(std::move(f));
}

void FaultInjectingFileSystem::ClearFaults() { state_->faults.clear(); }

long FaultInjectingFileSystem::CallCount() const { return state_->count; }

const std::vector<FaultInjectingFileSystem::Call>& FaultInjectingFileSystem::Trace() const { return state_->trace; }

std::vector<std::string> FaultInjectingFileSystem::TraceLines() const {
  std::vector<std::string> out;
  out.reserve(state_->trace.size());
  for (const auto& c : state_->trace) {
    std::string line = Name(c.op);
    if (!c.path.empty()) line += " " + c.path;
    if (!c.target.empty()) line += " -> " + c.target;
    if (c.mode)
      line += *c.mode == IOMode::ForReading   ? " ForReading"
              : *c.mode == IOMode::ForWriting ? " ForWriting"
                                              : " ForAppending";
    out.push_back(std::move(line));
  }
  return out;
}

void FaultInjectingFileSystem::ClearTrace() { state_->trace.clear(); }

const char* FaultInjectingFileSystem::Name(Op op) {
  switch (op) {
    case Op::FileExists: return "FileExists";
    case Op::FolderExists: return "FolderExists";
    case Op::CopyFile: return "CopyFile";
    case Op::DeleteFile: return "DeleteFile";
    case Op::OpenTextFile: return "OpenTextFile";
    case Op::GetFolder: return "GetFolder";
    case Op::AtEndOfStream: return "AtEndOfStream";
    case Op::ReadLine: return "ReadLine";
    case Op::ReadAll: return "ReadAll";
    case Op::WriteLine: return "WriteLine";
    case Op::Write: return "Write";
    case Op::Close: return "Close";
    case Op::RenameFile: return "RenameFile";
    case Op::CopyFileWhole: return "CopyFileWhole";
    case Op::CheckWritable: return "CheckWritable";
    case Op::CopyFileWholeFlushed: return "CopyFileWholeFlushed";
    case Op::FlushFile: return "FlushFile";
    case Op::Tipo: return "Tipo";
  }
  return "?";
}

bool FaultInjectingFileSystem::FileExists(std::string_view path) {
  state_->Enter(Op::FileExists, path);
  return inner_.FileExists(path);
}

TipoVoce FaultInjectingFileSystem::Tipo(std::string_view path) {
  state_->Enter(Op::Tipo, path);
  return inner_.Tipo(path);
}

bool FaultInjectingFileSystem::FolderExists(std::string_view path) {
  state_->Enter(Op::FolderExists, path);
  return inner_.FolderExists(path);
}

void FaultInjectingFileSystem::CopyFile(std::string_view source, std::string_view destination, bool overwrite) {
  state_->Enter(Op::CopyFile, source, destination);
  inner_.CopyFile(source, destination, overwrite);
}

void FaultInjectingFileSystem::DeleteFile(std::string_view path, bool force) {
  state_->Enter(Op::DeleteFile, path);
  inner_.DeleteFile(path, force);
}

void FaultInjectingFileSystem::RenameFile(std::string_view source, std::string_view destination) {
  state_->Enter(Op::RenameFile, source, destination);
  inner_.RenameFile(source, destination);
}

void FaultInjectingFileSystem::CopyFileWhole(std::string_view source, std::string_view destination) {
  state_->Enter(Op::CopyFileWhole, source, destination);
  inner_.CopyFileWhole(source, destination);
}

void FaultInjectingFileSystem::CopyFileWholeFlushed(std::string_view source, std::string_view destination) {
  state_->Enter(Op::CopyFileWholeFlushed, source, destination);
  inner_.CopyFileWholeFlushed(source, destination);
}

void FaultInjectingFileSystem::FlushFile(std::string_view path) {
  state_->Enter(Op::FlushFile, path);
  inner_.FlushFile(path);
}

void FaultInjectingFileSystem::CheckWritable(std::string_view path) {
  state_->Enter(Op::CheckWritable, path);
  inner_.CheckWritable(path);
}

std::unique_ptr<TextStream> FaultInjectingFileSystem::OpenTextFile(std::string_view path, IOMode mode, bool create) {
  state_->Enter(Op::OpenTextFile, path, {}, mode);
  return std::make_unique<FaultInjectingStream>(inner_.OpenTextFile(path, mode, create), std::string(path), state_);
}

FolderListing FaultInjectingFileSystem::GetFolder(std::string_view path) {
  state_->Enter(Op::GetFolder, path);
  return inner_.GetFolder(path);
}

}  // namespace cw
