#pragma once
// The blocked wait on Windows: WaitForMultipleObjects itself, for any one of
// the handles.

#include "platform/attesa.h"

namespace cw {

class AttesaWin32 : public Attesa {
 public:
  int Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) override;
};

// The answer of a wait for n handles (WAIT_OBJECT_0 + i, WAIT_TIMEOUT,
// WAIT_FAILED, or an abandoned mutex, which none of ours is) as Aspetta gives it.
int EsitoAttesaWin32(unsigned long risposta, std::size_t n);

}  // namespace cw
