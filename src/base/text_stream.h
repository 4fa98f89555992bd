#pragma once
// A text stream over one open file, as the file service hands it out. Bytes
// pass unconverted: lines go in and come out exactly as they stand in the
// file.

#include <string>
#include <string_view>

namespace cw {

enum class IOMode { ForReading = 1, ForWriting = 2, ForAppending = 8 };

// A text stream over one open file. The destructor closes it, so a command
// that stops on an error leaves no file open.
class TextStream {
 public:
  virtual ~TextStream() = default;
  // True when nothing is left to read.
  virtual bool AtEndOfStream() = 0;
  // The next line without its line end. A line ends at CR LF, LF or a lone
  // CR, so a file that ends its lines with CR alone is still read line by
  // line.
  virtual std::string ReadLine() = 0;
  // Everything not yet read.
  virtual std::string ReadAll() = 0;
  // The text followed by CR LF.
  virtual void WriteLine(std::string_view text) = 0;
  // The text as it is.
  virtual void Write(std::string_view text) = 0;
  // Flushes and closes; later calls on the stream raise error 52.
  virtual void Close() = 0;
};

}  // namespace cw
