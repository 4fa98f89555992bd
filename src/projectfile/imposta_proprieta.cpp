#include "base/ansi.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/passaggio_progetti.h"

namespace cw {

PassaggioProgetti PassaggioProprieta(const std::string& commenti, const std::string& copyright,
                                     const std::string& nomeProdotto, const std::string& nomeSocieta) {
  PassaggioProgetti passaggio;
  passaggio.prefissoLog = "Impostazione proprietà di ";
  // The texts go in as typed: no quotes added, nothing trimmed.
  passaggio.regola = InSequenza({
      RegolaPrefisso("VersionComments=", Utf8ToAnsi(commenti)),
      RegolaPrefisso("VersionLegalCopyright=", Utf8ToAnsi(copyright)),
      RegolaPrefisso("VersionProductName=", Utf8ToAnsi(nomeProdotto)),
      RegolaPrefisso("VersionCompanyName=", Utf8ToAnsi(nomeSocieta)),
  });
  return passaggio;
}

void ImpostaProprieta(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, const std::string& commenti,
                      const std::string& copyright, const std::string& nomeProdotto, const std::string& nomeSocieta) {
  EseguiPassaggioProgetti(fso, catalogo, ui, PassaggioProprieta(commenti, copyright, nomeProdotto, nomeSocieta));
}

}  // namespace cw
