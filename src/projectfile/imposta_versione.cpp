#include "base/ansi.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/passaggio_progetti.h"

namespace cw {

PassaggioProgetti PassaggioVersione(const std::string& principale, const std::string& secondaria,
                                    const std::string& revisione) {
  PassaggioProgetti passaggio;
  passaggio.prefissoLog = "Impostazione versione di ";
  passaggio.regola = InSequenza({
      RegolaPrefisso("MajorVer=", Utf8ToAnsi(principale)),
      RegolaPrefisso("MinorVer=", Utf8ToAnsi(secondaria)),
      RegolaPrefisso("RevisionVer=", Utf8ToAnsi(revisione)),
      RegolaRigaIntera("FavorPentiumPro(tm)=0", "FavorPentiumPro(tm)=-1"),
  });
  return passaggio;
}

void ImpostaVersione(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, const std::string& principale,
                     const std::string& secondaria, const std::string& revisione) {
  EseguiPassaggioProgetti(fso, catalogo, ui, PassaggioVersione(principale, secondaria, revisione));
}

}  // namespace cw
