#include "projectfile/passaggio_progetti.h"

#include "base/ansi.h"
#include "base/passi_log.h"
#include "projectfile/riscrivi_file.h"

namespace cw {

std::vector<std::string> FilePassaggio(const CatalogoComponenti& catalogo, const PassaggioProgetti& passaggio) {
  std::vector<std::string> file;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga)
    if (!passaggio.filtro || passaggio.filtro(catalogo, riga)) file.push_back(catalogo.FileProgettoCompleto(riga));
  return file;
}

void EseguiPassaggioProgetti(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui,
                             const PassaggioProgetti& passaggio) {
  int ultima = catalogo.LBound() - 1;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga)
    if (!passaggio.filtro || passaggio.filtro(catalogo, riga)) ultima = riga;
  for (int riga = catalogo.LBound(); riga <= ultima; ++riga) {
    if (passaggio.filtro && !passaggio.filtro(catalogo, riga)) continue;
    const std::string progetto = catalogo.FileProgettoCompleto(riga);
    const std::string voce = passaggio.prefissoLog + MaiuscoloUtf8(catalogo(riga, kFileProgetto)) + " in corso...";
    AnnunciaPasso(ui, voce);
    RiscriviFile(fso, progetto, passaggio.regola);
    // Part of the last row: its line says OK once the pass is on the disk.
    if (riga == ultima) FinePassaggio(fso, progetto);
    ConcludiPasso(ui, voce + " OK!");
  }
}

}  // namespace cw
