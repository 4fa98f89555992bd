// The platform's services on Windows itself: the system's own, with no
// prefix to check. The instance lock is a file in the program's own folder:
// it keeps two instances of one installed copy apart (a folder the user may
// not write in holds no lock, and the tool then runs unguarded).

#include <windows.h>

#include "platform/cartella_eseguibile.h"
#include "platform/protocollo_worker.h"
#include "platform/servizi_piattaforma.h"
#include "platform/windows/blocco_file_win32.h"
#include "platform/windows/canale_registrazione_windows.h"
#include "platform/windows/filesystem_win32.h"
#include "platform/windows/processi_win32.h"
#include "platform/windows/tastiera_win32.h"
#include "platform/windows/trova_programma_win32.h"

namespace cw {

ServiziPiattaforma CreaServiziPiattaforma(const OpzioniPiattaforma& opzioni) {
  const std::filesystem::path cartella = CartellaEseguibile();
  ServiziPiattaforma s;
  s.fso = std::make_unique<FileSystemWin32>();
  s.processi = std::make_unique<ProcessiWin32>(opzioni.attesa);
  s.registrazione = std::make_unique<CanaleRegistrazioneWindows>(cartella / worker::kNomeProgrammaWindows);
  s.tastiera = std::make_unique<TastieraWin32>();
  s.blocco = std::make_unique<BloccoFileWin32>(cartella / kFileBloccoPrefisso);
  s.trovaProgramma = [](const std::string& programma) { return TrovaProgrammaWin32(programma); };
  return s;
}

}  // namespace cw
