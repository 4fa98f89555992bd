#pragma once
// The wait of Pausa over clock_nanosleep.

#include "platform/pausa.h"

namespace cw {

class PausaLinux : public Pausa {
 public:
  void Attendi(std::int32_t ms, std::int16_t alertable) override;
};

}  // namespace cw
