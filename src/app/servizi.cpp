#include "app/servizi.h"

#include "platform/drive_table.h"
#include "platform/linux_filesystem.h"

namespace cw {

void CreaServizi(Servizi& servizi, Ui& ui) {
  (void)ui;
  const DriveTable unita = DriveTable::FromEnvironment();
  servizi.fso = std::make_unique<LinuxFileSystem>(unita);

  // --- process service (compile, Notepad, EXE servers): one line here ---
  // servizi.processi = std::make_unique<...>(unita);

  // --- DLL registrar (shows its failures through ui): one line here ---
  // servizi.registratore = std::make_unique<...>(ui);

  // --- keyboard for Vb-Build (X11): one line here ---
  // servizi.tastiera = std::make_unique<...>();
}

void CaricaServizi(Servizi& servizi) { CaricaCatalogo(servizi.catalogo); }

}  // namespace cw
