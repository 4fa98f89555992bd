#pragma once
// The lock that keeps two instances from writing over one tree at once, let
// go of by the system when the holder dies. Nothing on disk can switch it off
// while it is held: a lock that cannot be taken refuses the command.

#include <optional>
#include <string>

#include "base/detentore_blocco.h"

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
  // After Presa: who holds it now (with this process's id and the time),
  // written down and flushed for a refused instance to read. A record that
  // cannot be written is no failure: the lock is what keeps others out.
  virtual void Annota(const std::string& /*programma*/, const std::string& /*comando*/) {}
  // After Occupata: the holder's record; none when it is missing, cannot be
  // read, or was left by a holder that has gone.
  virtual std::optional<DetentoreBlocco> Detentore() const { return std::nullopt; }
};

}  // namespace cw
