#include "platform/ansi.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/riscrivi_file.h"

namespace cw {
namespace {

// Form files are told by the exact, case-sensitive ending of their name, so
// "X.FRM", "X.frx" and the copies "X.frm_tmp" are left alone.
bool EFileForm(const std::string& nome) { return nome.size() >= 4 && nome.compare(nome.size() - 4, 4, ".frm") == 0; }

}  // namespace

void SostituisciGuid(FileSystem& fso, const CatalogoComponenti& catalogo, const std::string& vecchio,
                     const std::string& nuovo) {
  const RegolaRiga regola = RegolaSottostringa(Utf8ToAnsi(vecchio), Utf8ToAnsi(nuovo));
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    RiscriviFile(fso, catalogo.FileProgettoCompleto(riga), regola);

    const std::string cartellaForm = catalogo(riga, kCartella) + "\\Form";
    if (!fso.FolderExists(cartellaForm)) continue;
    // The listing is taken once, before any copy is made in the folder.
    const FolderListing elenco = fso.GetFolder(cartellaForm);
    for (const std::string& nome : elenco.FileNames)
      if (EFileForm(nome)) RiscriviFile(fso, elenco.Path + "\\" + nome, regola);
  }
}

}  // namespace cw
