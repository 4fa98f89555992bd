#pragma once
// The trace on Linux: one write per line to a descriptor (standard error, or
// a file opened for appending), so the lines of several threads never mix.

#include <chrono>
#include <memory>
#include <string>

#include "platform/traccia.h"

namespace cw {

class TracciaLinux : public Traccia {
 public:
  // fd is closed at the end when proprio.
  TracciaLinux(int fd, bool proprio);
  ~TracciaLinux() override;
  TracciaLinux(const TracciaLinux&) = delete;
  TracciaLinux& operator=(const TracciaLinux&) = delete;
  void Scrivi(std::string_view tipo, std::string_view testo) override;

  // The file appended to, made when missing; never inherited by the programs
  // the tool starts. Null, with the reason in errore, when it cannot be opened.
  static std::unique_ptr<TracciaLinux> SuFile(const std::string& file, std::string& errore);

 private:
  int fd_;
  bool proprio_;
  std::chrono::steady_clock::time_point inizio_ = std::chrono::steady_clock::now();
};

}  // namespace cw
