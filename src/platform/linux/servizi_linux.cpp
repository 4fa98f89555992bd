// The Linux platform: every service over the drives of the Wine-style
// prefix named by $WINEPREFIX (or ~/.wine).

#include "platform/linux/blocco_flock.h"
#include "platform/linux/canale_registrazione_linux.h"
#include "platform/linux/drive_table.h"
#include "platform/linux/impostazioni_linux.h"
#include "platform/linux/linux_filesystem.h"
#include "platform/linux/linux_process.h"
#include "platform/linux/prefisso.h"
#include "platform/linux/x11_keyboard.h"
#include "platform/servizi_piattaforma.h"

namespace cw {

ServiziPiattaforma CreaServiziPiattaforma(const OpzioniPiattaforma& opzioni) {
  const DriveTable unita = DriveTable::FromEnvironment();
  ServiziPiattaforma s;
  s.problema = ProblemaPrefisso(unita, opzioni.programma);
  s.fso = std::make_unique<LinuxFileSystem>(unita);
  s.registrazione = std::make_unique<CanaleRegistrazioneLinux>(unita);
  s.blocco = std::make_unique<BloccoFlock>(unita.Prefix());
  // The display is opened at the first keystroke, so the tool starts (and
  // Vb-Build reports error 5) where X11 is missing.
  s.tastiera = std::make_unique<X11Keyboard>();
  s.fileImpostazioni = [unita] { return FileImpostazioniLinux(unita); };
  s.trovaProgramma = [unita](const std::string& programma) { return LinuxProcesses(unita).TrovaProgramma(programma); };
  s.cartelleUnita = [unita] { return unita.CartelleUnita(); };
  LinuxProcesses::Opzioni processi;
  processi.attesa = opzioni.attesa;
  s.processi = std::make_unique<LinuxProcesses>(unita, std::move(processi));
  return s;
}

}  // namespace cw
