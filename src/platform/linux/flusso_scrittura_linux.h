#pragma once
// Where the Linux file service's writing stream (base/flusso_scrittura.h)
// puts its bytes: a descriptor open for writing.

#include <string>
#include <string_view>

#include "base/flusso_scrittura.h"

namespace cw {

class DestinazioneScritturaLinux : public DestinazioneScrittura {
 public:
  // Takes ownership of fd, open for writing on host (the Windows path percorso).
  DestinazioneScritturaLinux(int fd, std::string host, std::string percorso = {})
      : fd_(fd), host_(std::move(host)), percorso_(std::move(percorso)) {}
  unsigned long Scrivi(std::string_view dati) override;
  unsigned long Chiudi() override;
  [[noreturn]] void Solleva(unsigned long codice, bool chiusura) override;

 private:
  int fd_;
  std::string host_;
  std::string percorso_;
};

}  // namespace cw
