#include "platform/linux/flusso_scrittura_linux.h"

#include <unistd.h>

#include <cerrno>

#include "base/errors.h"
#include "platform/linux/io_linux.h"

namespace cw {
namespace {

constexpr size_t kBufferLimit = 64 * 1024;

// A stream used in the wrong direction: a caller's mistake, not a disk's.
[[noreturn]] void WrongDirection(const char* what) { SollevaErrore(kChiamataNonValida, what); }

}  // namespace

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
