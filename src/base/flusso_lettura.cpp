#include "base/flusso_lettura.h"

#include <algorithm>

#include "base/errors.h"

namespace cw {
namespace {

// A stream used in the wrong direction: a caller's mistake, not a disk's.
[[noreturn]] void WrongDirection(const char* what) { SollevaErrore(kChiamataNonValida, what); }

}  // namespace

void ReadingStream::CheckOpen() const {
  if (closed_) SollevaErrore(kNomeFileNonValido, "stream already closed");
}

bool ReadingStream::AtEndOfStream() {
  CheckOpen();
  return pos_ >= data_.size();
}

std::string ReadingStream::ReadLine() {
  CheckOpen();
  if (pos_ >= data_.size()) SollevaErrore(kInputOltreFine);
  // CR LF, LF and a lone CR each end a line. Were a lone CR part of the line,
  // a file using CR alone would read as one line, and a rule matching its
  // first bytes would replace the whole file.
  const size_t end = std::min(data_.find_first_of("\r\n", pos_), data_.size());
  std::string line = data_.substr(pos_, end - pos_);
  pos_ = end;
  if (pos_ < data_.size() && data_[pos_++] == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  return line;
}

std::string ReadingStream::ReadAll() {
  CheckOpen();
  std::string rest = data_.substr(pos_);
  pos_ = data_.size();
  return rest;
}

void ReadingStream::WriteLine(std::string_view) {
  CheckOpen();
  WrongDirection("WriteLine on a stream open for reading");
}

void ReadingStream::Write(std::string_view) {
  CheckOpen();
  WrongDirection("Write on a stream open for reading");
}

void ReadingStream::Close() {
  CheckOpen();
  closed_ = true;
  std::string().swap(data_);
}

}  // namespace cw
