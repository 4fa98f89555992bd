#pragma once
// The reading text stream of both platforms' file services: it holds the
// whole file, read at open (the files are small, and the file is then closed
// at once). Bytes pass unconverted.

#include <string>
#include <string_view>

#include "base/text_stream.h"

namespace cw {

class ReadingStream : public TextStream {
 public:
  explicit ReadingStream(std::string contents) : data_(std::move(contents)) {}

  bool AtEndOfStream() override;
  std::string ReadLine() override;
  std::string ReadAll() override;
  void WriteLine(std::string_view text) override;
  void Write(std::string_view text) override;
  void Close() override;

 private:
  void CheckOpen() const;
  std::string data_;
  size_t pos_ = 0;
  bool closed_ = false;
};

}  // namespace cw
