#pragma once
// The lock that keeps two instances from writing over one tree at once, let
// go of by the system when the holder dies. Nothing on disk can switch it off
// while it is held: a lock that cannot be taken refuses the command.

#include <string>

namespace cw {

enum class PresaBlocco {
  Presa,        // held by this instance from now on
  Occupata,     // held by another instance
  Impossibile,  // cannot be taken at all: Motivo() says where and why
};

class BloccoPrefisso {
 public:
  virtual ~BloccoPrefisso() = default;
  // Presa again while it is held already.
  virtual PresaBlocco Prendi() = 0;
  // After Impossibile: the message for the user, naming the file or folder
  // and the reason (UTF-8).
  virtual std::string Motivo() const = 0;
  virtual void Lascia() = 0;
};

}  // namespace cw
