#include "commands/servizi_linux.h"

#include "platform/attendi.h"
#include "platform/linux_filesystem.h"
#include "platform/linux_process.h"
#include "registration/modRegistraDll.h"
#include "settings/modFileIni.h"

namespace cw {

ServiziLinux::ServiziLinux(Ui& ui) : ui_(ui) {
  const DriveTable drives = DriveTable::FromEnvironment();
  fso_ = std::make_unique<LinuxFileSystem>(drives);
  processi_ = std::make_unique<LinuxProcesses>(drives);
  registratore_ = std::make_unique<RegistratoreIsolato>(ui_, drives);
  blocco_ = std::make_unique<BloccoFlock>(drives.Prefix() / kFileBloccoPrefisso);
  CaricaCatalogo(catalogo_);
}

ServiziLinux::~ServiziLinux() = default;

cw::Contesto ServiziLinux::Contesto(Campi& campi) {
  return cw::Contesto{
      .fso = *fso_,
      .catalogo = catalogo_,
      .ui = ui_,
      .campi = campi,
      .processi = processi_.get(),
      .registratore = registratore_.get(),
      .cartellaProgramma = [] { return CartellaEseguibile().string(); },
      .attendi = [](int ms) { Attendi(ms, 0); },
      .blocco = blocco_.get(),
  };
}

}  // namespace cw
