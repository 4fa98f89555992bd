#include "build/backup.h"

#include <string>

#include "platform/ansi.h"
#include "platform/passi_log.h"

namespace cw {
namespace {

std::string Generazione(const std::string& progetto, int k) { return progetto + "_" + std::to_string(k); }

}  // namespace

void EseguiBackup(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui) {
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    const std::string progetto = catalogo.FileProgettoCompleto(riga);
    const std::string voce = "Backup di " + MaiuscoloUtf8(catalogo(riga, kFileProgetto)) + " in corso...";
    AnnunciaPasso(ui, voce);
    // Oldest first, so each generation is copied before it is overwritten;
    // a missing one is passed over and leaves a gap.
    for (int k = kGenerazioniBackup - 1; k >= 1; --k) {
      const std::string da = Generazione(progetto, k);
      if (fso.FileExists(da)) fso.CopyFile(da, Generazione(progetto, k + 1), true);
    }
    fso.CopyFile(progetto, Generazione(progetto, 1), true);
    ConcludiPasso(ui, voce + " OK!");
  }
}

}  // namespace cw
