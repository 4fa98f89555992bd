#pragma once
// The writing text stream of the Win32 file service, with the Linux one's
// rules (the reading one is platform/flusso_lettura.h): it buffers and
// writes through at Close, when its buffer fills, or when it is destroyed.
// Bytes pass unconverted.

#include <string>
#include <string_view>

#include "platform/filesystem.h"
#include "platform/flusso_lettura.h"

namespace cw {

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
