#include "build/backup.h"

#include <string>

#include "base/ansi.h"
#include "base/passi_log.h"

namespace cw {
namespace {

std::string Generazione(const std::string& progetto, int k) { return GenerazioneBackup(progetto, k); }

}  // namespace

std::string GenerazioneBackup(const std::string& progetto, int k) { return progetto + "_" + std::to_string(k); }

void EseguiBackup(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui) {
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    const std::string progetto = catalogo.FileProgettoCompleto(riga);
    const std::string voce = "Backup di " + MaiuscoloUtf8(catalogo(riga, kFileProgetto)) + " in corso...";
    AnnunciaPasso(ui, voce);
    // Oldest first, each generation renamed one older (the oldest drops out),
    // then the new first one copied whole into the place left free: killed at
    // any instant, every generation is a whole earlier copy or absent. A
    // missing one is passed over and leaves a gap. The new one is on the disk
    // before its name, and the folder after the renames, so a power cut too
    // leaves only whole generations, and the ones a later backup renames
    // over older ones have always reached the disk.
    for (int k = kGenerazioniBackup - 1; k >= 1; --k) {
      const std::string da = Generazione(progetto, k);
      if (fso.FileExists(da)) fso.RenameFile(da, Generazione(progetto, k + 1));
    }
    fso.CopyFileWholeFlushed(progetto, Generazione(progetto, 1));
    ConcludiPasso(ui, voce + " OK!");
  }
}

}  // namespace cw
