#include "platform/windows/attesa_win32.h"

#include <windows.h>

#include <vector>

namespace cw {

int EsitoAttesaWin32(unsigned long risposta, std::size_t n) {
  if (risposta < WAIT_OBJECT_0 + n) return static_cast<int>(risposta - WAIT_OBJECT_0);
  if (risposta == WAIT_TIMEOUT) return kAttesaScaduta;
  return kAttesaFallita;
}

int AttesaWin32::Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) {
  std::vector<HANDLE> maniglie(n);
  for (std::size_t i = 0; i < n; ++i) maniglie[i] = reinterpret_cast<HANDLE>(oggetti[i]);
  const DWORD limite = ms < 0 ? INFINITE : static_cast<DWORD>(ms);
  return EsitoAttesaWin32(WaitForMultipleObjects(static_cast<DWORD>(n), maniglie.data(), FALSE, limite), n);
}

}  // namespace cw
