#pragma once
// The text streams of the Win32 file service, with the Linux streams' rules:
// a reading stream holds the whole file, read at open (the file is closed at
// once); a writing stream buffers and writes through at Close, when its
// buffer fills, or when it is destroyed. Bytes pass unconverted.

#include <string>
#include <string_view>

#include "platform/filesystem.h"

namespace cw {

class FlussoLetturaWin32 : public TextStream {
 public:
  explicit FlussoLetturaWin32(std::string contenuto) : dati_(std::move(contenuto)) {}

  bool AtEndOfStream() override;
  std::string ReadLine() override;
  std::string ReadAll() override;
  void WriteLine(std::string_view text) override;
  void Write(std::string_view text) override;
  void Close() override;

 private:
  void ControllaAperto() const;
  std::string dati_;
  size_t pos_ = 0;
  bool chiuso_ = false;
};

class FlussoScritturaWin32 : public TextStream {
 public:
  // Takes the handle (a HANDLE open for writing on the Windows path percorso).
  FlussoScritturaWin32(void* handle, std::string percorso) : handle_(handle), percorso_(std::move(percorso)) {}
  ~FlussoScritturaWin32() override;
  FlussoScritturaWin32(const FlussoScritturaWin32&) = delete;
  FlussoScritturaWin32& operator=(const FlussoScritturaWin32&) = delete;

  bool AtEndOfStream() override;
  std::string ReadLine() override;
  std::string ReadAll() override;
  void WriteLine(std::string_view text) override;
  void Write(std::string_view text) override;
  void Close() override;

 private:
  void ControllaAperto() const;
  void ScriviSePieno();
  // Writes the buffer out; 0 or the GetLastError code. The buffer is
  // emptied either way.
  unsigned long Svuota();
  void* handle_;
  std::string percorso_;
  std::string buffer_;
  bool chiuso_ = false;
};

}  // namespace cw
