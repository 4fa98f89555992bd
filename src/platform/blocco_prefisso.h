#pragma once
// The lock that keeps two instances from writing over one tree at once,
// let go of by the system when the holder dies.

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

}  // namespace cw
