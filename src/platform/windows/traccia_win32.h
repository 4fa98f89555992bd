#pragma once
// The trace on Windows: one WriteFile per line to a file opened for
// appending or to standard error; a window with no standard error sends its
// lines to the debugger's output (OutputDebugString, shown by Wine with
// WINEDEBUG=+debugstr).

#include <chrono>
#include <memory>
#include <string>

#include "platform/traccia.h"

namespace cw {

class TracciaWin32 : public Traccia {
 public:
  // handle: null for the debugger's output; closed at the end when proprio.
  TracciaWin32(void* handle, bool proprio);
  ~TracciaWin32() override;
  TracciaWin32(const TracciaWin32&) = delete;
  TracciaWin32& operator=(const TracciaWin32&) = delete;
  void Scrivi(std::string_view tipo, std::string_view testo) override;

  // The file (UTF-8) appended to, made when missing, never inherited. Null,
  // with the reason in errore, when it cannot be opened.
  static std::unique_ptr<TracciaWin32> SuFile(const std::string& file, std::string& errore);

 private:
  void* handle_;
  bool proprio_;
  std::chrono::steady_clock::time_point inizio_ = std::chrono::steady_clock::now();
};

}  // namespace cw
