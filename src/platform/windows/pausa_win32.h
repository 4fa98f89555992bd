#pragma once
// The wait of Pausa over SleepEx.

#include "platform/pausa.h"

namespace cw {

class PausaWin32 : public Pausa {
 public:
  void Attendi(std::int32_t ms, std::int16_t alertable) override;
};

}  // namespace cw
