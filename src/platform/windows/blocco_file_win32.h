#pragma once
// The instance lock over a file held with LockFileEx: the system lets go of
// it when its handle closes, also when the holder dies.

#include <filesystem>

#include "platform/blocco_prefisso.h"

namespace cw {

class BloccoFileWin32 : public BloccoPrefisso {
 public:
  explicit BloccoFileWin32(std::filesystem::path file) : file_(std::move(file)) {}
  ~BloccoFileWin32() override { Lascia(); }
  BloccoFileWin32(const BloccoFileWin32&) = delete;
  BloccoFileWin32& operator=(const BloccoFileWin32&) = delete;

  bool Prendi() override;
  void Lascia() override;

 private:
  std::filesystem::path file_;
  void* handle_ = nullptr;
};

}  // namespace cw
