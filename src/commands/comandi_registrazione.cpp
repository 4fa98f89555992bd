#include <string>

#include "commands/comandi.h"
#include "commands/cornice.h"
#include "registration/registra_componenti.h"

namespace cw {

namespace {

// "Componenti registrati: 40, non registrati: 2 (A.DLL, B.EXE)": what the
// walk did, after its rows and the boxes of the failures, as the log's last
// line before "Pronto" and in the closing box.
std::string Riepilogo(const RiepilogoRegistrazione& esito, bool registra) {
  std::string testo = std::string(registra ? "Componenti registrati: " : "Componenti rimossi: ") +
                      std::to_string(esito.riuscite) + (registra ? ", non registrati: " : ", non rimossi: ") +
                      std::to_string(esito.fallite.size());
  for (size_t i = 0; i < esito.fallite.size(); ++i) testo += (i ? ", " : " (") + esito.fallite[i];
  return esito.fallite.empty() ? testo : testo + ")";
}

Esito Registrazione(Contesto& ctx, bool registra) {
  Cornice cornice{kPuntatoreClessidra, true, ""};
  return InCornice(ctx, cornice, [&] {
    const RiepilogoRegistrazione esito =
        RegistraComponenti(ctx.catalogo, ctx.ui, ctx.registratore, ctx.processi, registra);
    cornice.messaggioFinale = Riepilogo(esito, registra);
    AnnunciaPasso(ctx.ui, cornice.messaggioFinale);
    if (!esito.Fallita()) return Esito::Completato;
    cornice.stileFinale = kStileEsclamativo;
    return Esito::Fallito;
  });
}

}  // namespace

Esito cmdRegistra_Click(Contesto& ctx) { return Registrazione(ctx, true); }

Esito cmdRimuovi_Click(Contesto& ctx) { return Registrazione(ctx, false); }

}  // namespace cw
