#include "base/flusso_scrittura.h"

#include "base/errors.h"

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
  destinazione_->Chiudi();
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
  if (const unsigned long err = Flush()) destinazione_->Solleva(err, false);
}

unsigned long WritingStream::Flush() {
  const unsigned long err = buffer_.empty() ? 0 : destinazione_->Scrivi(buffer_);
  buffer_.clear();
  return err;
}

void WritingStream::Close() {
  CheckOpen();
  closed_ = true;
  // The file is closed whatever the last write gave; the write's failure is
  // the one told.
  const unsigned long err = Flush();
  const unsigned long closeErr = destinazione_->Chiudi();
  if (err) destinazione_->Solleva(err, false);
  if (closeErr) destinazione_->Solleva(closeErr, true);
}

}  // namespace cw
