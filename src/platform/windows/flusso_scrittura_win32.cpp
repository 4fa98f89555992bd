#include "platform/windows/flusso_scrittura_win32.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/errori_win32.h"

namespace cw {

unsigned long DestinazioneScritturaWin32::Scrivi(std::string_view dati) {
  while (!dati.empty()) {
    DWORD scritti = 0;
    const DWORD n = static_cast<DWORD>(std::min<size_t>(dati.size(), 1u << 30));
    if (!WriteFile(handle_, dati.data(), n, &scritti, nullptr)) return GetLastError();
    if (scritti == 0) return ERROR_WRITE_FAULT;
    dati.remove_prefix(scritti);
  }
  return 0;
}

unsigned long DestinazioneScritturaWin32::Chiudi() { return CloseHandle(handle_) ? 0 : GetLastError(); }

void DestinazioneScritturaWin32::Solleva(unsigned long codice, bool chiusura) {
  SollevaErroreWin32(codice, false, chiusura ? "CloseHandle" : "WriteFile", percorso_);
}

}  // namespace cw
