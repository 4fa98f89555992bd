#include <string>

#include "projectfile/operazioni_progetto.h"
#include "projectfile/passaggio_progetti.h"

namespace cw {

bool RigaConCompatibilita(const CatalogoComponenti& c, int riga) {
  const std::string& tipo = c(riga, kTipo);
  return tipo != "app" && tipo != "app-skipcompile";
}

PassaggioProgetti PassaggioCompatibilita(Compatibilita modo) {
  PassaggioProgetti passaggio;
  passaggio.prefissoLog = "Impostazione compatibilità di ";
  // Applications take no compatibility; the comparison is exact, so "App" is
  // processed.
  passaggio.filtro = RigaConCompatibilita;
  passaggio.regola = RegolaPrefisso("CompatibleMode=", "\"" + std::to_string(static_cast<std::int32_t>(modo)) + "\"");
  return passaggio;
}

void ImpostaCompatibilita(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Compatibilita modo) {
  EseguiPassaggioProgetti(fso, catalogo, ui, PassaggioCompatibilita(modo));
}

}  // namespace cw
