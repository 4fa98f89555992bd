#include "commands/verifica_campi.h"

#include <string>

#include "base/ansi.h"
#include "commands/controlli.h"
#include "settings/modFileIni.h"

namespace cw {

bool CampiInAnsi(Contesto& ctx, std::initializer_list<Campo> campi) {
  for (Campo campo : campi) {
    const std::string fuori = CaratteriFuoriAnsi(ctx.campi.Testo(campo));
    if (fuori.empty()) continue;
    ctx.ui.MsgBox("Il testo di \"" + EtichettaCampo(campo) +
                      "\" contiene caratteri che i file di progetto e le impostazioni non possono contenere "
                      "(codifica Windows-1252): \"" +
                      fuori + "\"\n\nNessun file è stato modificato: correggere il testo e riprovare.",
                  kStileEsclamativo, kTitoloApplicazione);
    return false;
  }
  return true;
}

bool CampiEntroLimite(Contesto& ctx, std::initializer_list<Campo> campi) {
  constexpr size_t kLimite = kDimensioneBuffer - 1;
  for (Campo campo : campi) {
    if (Utf8ToAnsi(ctx.campi.Testo(campo)).size() <= kLimite) continue;
    ctx.ui.MsgBox("Il testo di \"" + EtichettaCampo(campo) + "\" è più lungo di " + std::to_string(kLimite) +
                      " caratteri, il massimo che le impostazioni restituiscono intero.\n\nNessun file è stato "
                      "modificato: accorciare il testo e riprovare.",
                  kStileEsclamativo, kTitoloApplicazione);
    return false;
  }
  return true;
}

}  // namespace cw
