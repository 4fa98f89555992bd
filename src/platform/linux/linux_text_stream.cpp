#include "platform/linux/linux_text_stream.h"
#include <algorithm>

#include <unistd.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/linux/linux_io.h"

namespace cw {
namespace {

constexpr size_t kBufferLimit = 64 * 1024;

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

WritingStream::~WritingStream() {
  if (closed_) return;
  // Whatever was written before the command stopped reaches the file.
  Flush();
  ::close(fd_);
}

void WritingStream::CheckOpen() const {
  if (closed_) SollevaErrore(kNomeFileNonValido, "stream already closed");
}

bool WritingStream::AtEndOfStream() {
  CheckOpen();
  WrongDirection("AtEndOfStream on a stream open for writing");
}

std::string WritingStream::ReadLine() {
  CheckOpen();
  WrongDirection("ReadLine on a stream open for writing");
}

std::string WritingStream::ReadAll() {
  CheckOpen();
  WrongDirection("ReadAll on a stream open for writing");
}

void WritingStream::WriteLine(std::string_view text) {
  CheckOpen();
  buffer_.append(text);
  buffer_.append("\r\n");
  FlushIfFull();
}

void WritingStream::Write(std::string_view text) {
  CheckOpen();
  buffer_.append(text);
  FlushIfFull();
}

void WritingStream::FlushIfFull() {
  if (buffer_.size() < kBufferLimit) return;
  if (const int err = Flush()) SollevaErroreErrno(err, false, host_, "write", percorso_);
}

int WritingStream::Flush() {
  const int err = ScriviTuttoFd(fd_, buffer_);
  buffer_.clear();
  return err;
}

void WritingStream::Close() {
  CheckOpen();
  closed_ = true;
  const int err = Flush();
  const int closeErr = ::close(fd_) == 0 ? 0 : errno;
  if (err) SollevaErroreErrno(err, false, host_, "write", percorso_);
  if (closeErr && closeErr != EINTR) SollevaErroreErrno(closeErr, false, host_, "close", percorso_);
}

}  // namespace cw
