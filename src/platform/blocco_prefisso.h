#pragma once
// The lock that keeps two instances from writing over one prefix at once:
// an flock on a file inside the prefix folder, which the kernel lets go of
// when the holder dies.

#include <filesystem>

namespace cw {

inline constexpr const char* kFileBloccoPrefisso = "compilawexo.lock";

class BloccoPrefisso {
 public:
  virtual ~BloccoPrefisso() = default;
  // False when another process holds it. A lock file that cannot be made at
  // all (no prefix folder) is no other instance: true.
  virtual bool Prendi() = 0;
  virtual void Lascia() = 0;
};

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
