#pragma once
// The prefix lock on Linux: an flock on a file inside the prefix folder,
// which the kernel lets go of when the holder dies.

#include <filesystem>

#include "platform/blocco_prefisso.h"

namespace cw {

class BloccoFlock : public BloccoPrefisso {
 public:
  explicit BloccoFlock(std::filesystem::path file) : file_(std::move(file)) {}
  ~BloccoFlock() override { Lascia(); }
  BloccoFlock(const BloccoFlock&) = delete;
  BloccoFlock& operator=(const BloccoFlock&) = delete;

  bool Prendi() override;
  void Lascia() override;

 private:
  std::filesystem::path file_;
  int fd_ = -1;
};

}  // namespace cw
