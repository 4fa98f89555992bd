#pragma once
// The instance lock on Linux: an flock on a folder itself (the suite's root
// as the prefix resolves it), which the kernel lets go of when the holder
// dies. A lock file could be deleted, or
// replaced by a folder, under a running instance and let a second one in;
// the folder cannot go while the tool writes in it.

#include <filesystem>
#include <string>

#include "platform/blocco_prefisso.h"

namespace cw {

class BloccoPrefissoLinux : public BloccoPrefisso {
 public:
  explicit BloccoPrefissoLinux(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}
  ~BloccoPrefissoLinux() override { Lascia(); }
  BloccoPrefissoLinux(const BloccoPrefissoLinux&) = delete;
  BloccoPrefissoLinux& operator=(const BloccoPrefissoLinux&) = delete;

  PresaBlocco Prendi() override;
  std::string Motivo() const override { return motivo_; }
  void Lascia() override;

 private:
  std::filesystem::path cartella_;
  int fd_ = -1;
  std::string motivo_;
};

}  // namespace cw
