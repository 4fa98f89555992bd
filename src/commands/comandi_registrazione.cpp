#include "commands/comandi.h"
#include "commands/cornice.h"
#include "registration/registra_componenti.h"

namespace cw {

namespace {

Esito Registrazione(Contesto& ctx, bool registra) {
  const Cornice cornice{kPuntatoreClessidra, true, ""};
  return InCornice(ctx, cornice, [&] {
    return RegistraComponenti(ctx.catalogo, ctx.ui, ctx.registratore, ctx.processi, registra) ? Esito::Fallito
                                                                                              : Esito::Completato;
  });
}

}  // namespace

Esito cmdRegistra_Click(Contesto& ctx) { return Registrazione(ctx, true); }

Esito cmdRimuovi_Click(Contesto& ctx) { return Registrazione(ctx, false); }

}  // namespace cw
