#pragma once
// The writing text stream of the Linux file service (the reading one is
// platform/flusso_lettura.h): it buffers and writes through at Close, when its
// buffer fills, or when it is destroyed.

#include <string>
#include <string_view>

#include "platform/filesystem.h"
#include "platform/flusso_lettura.h"

namespace cw {

class WritingStream : public TextStream {
 public:
  // Takes ownership of fd, open for writing on host (the Windows path percorso).
  WritingStream(int fd, std::string host, std::string percorso = {})
      : fd_(fd), host_(std::move(host)), percorso_(std::move(percorso)) {}
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
  // Writes the buffer out; 0 or errno. The buffer is emptied either way.
  int Flush();
  int fd_;
  std::string host_;
  std::string percorso_;
  std::string buffer_;
  bool closed_ = false;
};

}  // namespace cw
