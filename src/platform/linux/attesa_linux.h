#pragma once
// The blocked wait on Linux: poll itself, for a descriptor to be readable.

#include "platform/attesa.h"

namespace cw {

class AttesaLinux : public Attesa {
 public:
  int Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) override;
};

}  // namespace cw
