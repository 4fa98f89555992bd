#pragma once
// The platform services of a Linux desktop, made once for the program's
// life: what the window and the batch front end both run on.

#include <memory>

#include "commands/contesto.h"

namespace cw {

class ServiziLinux {
 public:
  // Drives from $WINEPREFIX (or ~/.wine); the settings file beside the
  // program's own folder; boxes of the DLL registration shown through ui.
  explicit ServiziLinux(Ui& ui);
  ~ServiziLinux();
  ServiziLinux(const ServiziLinux&) = delete;
  ServiziLinux& operator=(const ServiziLinux&) = delete;

  const CatalogoComponenti& Catalogo() const { return catalogo_; }
  FileSystem& Fso() { return *fso_; }

  // A context over these services for the given fields.
  cw::Contesto Contesto(Campi& campi);

 private:
  Ui& ui_;
  CatalogoComponenti catalogo_;
  std::unique_ptr<FileSystem> fso_;
  std::unique_ptr<Processes> processi_;
  std::unique_ptr<RegistratoreDll> registratore_;
  std::unique_ptr<BloccoPrefisso> blocco_;
};

}  // namespace cw
