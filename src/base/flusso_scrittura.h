#pragma once
// The writing text stream of both platforms' file services: it buffers and
// writes through at Close, when its buffer fills, or when it is destroyed.
// Bytes pass unconverted. Only where they go is the platform's: a small
// sink over the open file.

#include <memory>
#include <string>
#include <string_view>

#include "base/text_stream.h"

namespace cw {

// A file open for writing, as a platform holds it.
class DestinazioneScrittura {
 public:
  virtual ~DestinazioneScrittura() = default;
  // Writes all of dati; 0, or the platform's error code (errno,
  // GetLastError) of the write that failed.
  virtual unsigned long Scrivi(std::string_view dati) = 0;
  // Closes the file, once; 0 or the platform's error code.
  virtual unsigned long Chiudi() = 0;
  // Raises the run-time error a failed write (chiusura false) or close gave
  // with codice, naming the file.
  [[noreturn]] virtual void Solleva(unsigned long codice, bool chiusura) = 0;
};

class WritingStream : public TextStream {
 public:
  explicit WritingStream(std::unique_ptr<DestinazioneScrittura> destinazione)
      : destinazione_(std::move(destinazione)) {}
  ~WritingStream() override;
  WritingStream(const WritingStream&) = delete;
  WritingStream& operator=(const WritingStream&) = delete;

  bool AtEndOfStream() override;
  std::string ReadLine() override;
  std::string ReadAll() override;
  void WriteLine(std::string_view text) override;
  void Write(std::string_view text) override;
  void Close() override;

 private:
  void CheckOpen() const;
  void FlushIfFull();
  // Writes the buffer out; 0 or the sink's code. The buffer is emptied
  // either way.
  unsigned long Flush();
  std::unique_ptr<DestinazioneScrittura> destinazione_;
  std::string buffer_;
  bool closed_ = false;
};

}  // namespace cw
