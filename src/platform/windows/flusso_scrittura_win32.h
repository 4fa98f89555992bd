#pragma once
// Where the Win32 file service's writing stream (base/flusso_scrittura.h)
// puts its bytes: a file handle open for writing.

#include <string>
#include <string_view>

#include "base/flusso_scrittura.h"

namespace cw {

class DestinazioneScritturaWin32 : public DestinazioneScrittura {
 public:
  // Takes the handle (a HANDLE open for writing on the Windows path percorso).
  DestinazioneScritturaWin32(void* handle, std::string percorso) : handle_(handle), percorso_(std::move(percorso)) {}
  unsigned long Scrivi(std::string_view dati) override;
  unsigned long Chiudi() override;
  [[noreturn]] void Solleva(unsigned long codice, bool chiusura) override;

 private:
  void* handle_;
  std::string percorso_;
};

}  // namespace cw
