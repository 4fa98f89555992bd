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
      RegolaPrefisso(kChiaviProprieta[0], Utf8ToAnsi(commenti)),
      RegolaPrefisso(kChiaviProprieta[1], Utf8ToAnsi(copyright)),
      RegolaPrefisso(kChiaviProprieta[2], Utf8ToAnsi(nomeProdotto)),
      RegolaPrefisso(kChiaviProprieta[3], Utf8ToAnsi(nomeSocieta)),
  });
  return passaggio;
}

std::array<bool, 4> ProprietaScritte(FileSystem& fso, const CatalogoComponenti& catalogo) {
  std::array<bool, 4> scritte{};
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    const auto file = fso.OpenTextFile(catalogo.FileProgettoCompleto(i), IOMode::ForReading);
    while (!file->AtEndOfStream()) {
      const std::string riga = file->ReadLine();
      for (size_t k = 0; k < scritte.size(); ++k) {
        const std::string_view chiave = kChiaviProprieta[k];
        if (riga.size() > chiave.size() && riga.starts_with(chiave) && riga.substr(chiave.size()) != "\"\"")
          scritte[k] = true;
      }
    }
    file->Close();
  }
  return scritte;
}

void ImpostaProprieta(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, const std::string& commenti,
                      const std::string& copyright, const std::string& nomeProdotto, const std::string& nomeSocieta) {
  EseguiPassaggioProgetti(fso, catalogo, ui, PassaggioProprieta(commenti, copyright, nomeProdotto, nomeSocieta));
}

}  // namespace cw
