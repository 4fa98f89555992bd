#pragma once
// The platform services the window owns for its whole life, created in one
// place: the file-system object fso, the catalogue, and the services the
// commands reach through their Contesto.

#include <memory>

#include "catalogue/catalogo.h"
#include "platform/attesa.h"
#include "platform/blocco_prefisso.h"
#include "platform/filesystem.h"
#include "platform/keyboard.h"
#include "platform/process.h"
#include "platform/ui.h"
#include "registration/registratore.h"

namespace cw {

struct Servizi {
  std::unique_ptr<FileSystem> fso;
  CatalogoComponenti catalogo;
  std::unique_ptr<Processes> processi;
  std::unique_ptr<RegistratoreDll> registratore;
  std::unique_ptr<Keyboard> tastiera;
  // Taken per command, so two windows can stay open on one prefix.
  std::unique_ptr<BloccoPrefisso> blocco;
  // The box for a prefix that is missing or no prefix; "" when it is good.
  std::string problemaPrefisso;
};

// Form_Initialize: fso over the drives of the Wine-style prefix, then the
// other services. ui is the window, for the services that show boxes;
// attesa its way of waiting for a program.
void CreaServizi(Servizi& servizi, Ui& ui, Attesa& attesa);

// Form_Load, first step: the catalogue.
void CaricaServizi(Servizi& servizi);

}  // namespace cw
