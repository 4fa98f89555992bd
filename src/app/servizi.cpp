#include "app/servizi.h"

#include "commands/prefisso.h"
#include "platform/drive_table.h"
#include "platform/linux_filesystem.h"
#include "platform/linux_process.h"
#include "platform/x11_keyboard.h"
#include "registration/modRegistraDll.h"

namespace cw {

void CreaServizi(Servizi& servizi, Ui& ui, Attesa& attesa) {
  const DriveTable unita = DriveTable::FromEnvironment();
  servizi.problemaPrefisso = ProblemaPrefisso(unita, "compilawexo");
  servizi.fso = std::make_unique<LinuxFileSystem>(unita);
  servizi.processi = std::make_unique<LinuxProcesses>(unita, LinuxProcesses::Opzioni{.attesa = &attesa});
  servizi.registratore =
      std::make_unique<RegistratoreIsolato>(ui, unita, PercorsoWorkerPredefinito(), kLimiteRegistrazione, &attesa);
  servizi.blocco = std::make_unique<BloccoFlock>(unita.Prefix() / kFileBloccoPrefisso);
  // The display is opened at the first keystroke, so the window starts
  // (and Vb-Build reports error 5) where X11 is missing.
  servizi.tastiera = std::make_unique<X11Keyboard>();
}

void CaricaServizi(Servizi& servizi) { CaricaCatalogo(servizi.catalogo); }

}  // namespace cw
