#include "commands/cornice.h"

namespace cw {

void AperturaCornice(Contesto& ctx, const Cornice& cornice) {
  ctx.ui.SetMousePointer(cornice.puntatore);
  ctx.ui.LogClear();
  ctx.ui.LogSetFontName(kFontFinestra);
}

void ChiusuraCornice(Contesto& ctx, const Cornice& cornice) {
  if (cornice.pronto) AnnunciaPasso(ctx.ui, "Pronto");
  ctx.ui.SetMousePointer(kPuntatorePredefinito);
  if (cornice.messaggioFinale.empty()) return;
  LasciaBlocco(ctx);
  ctx.ui.MsgBox(cornice.messaggioFinale, cornice.stileFinale, kTitoloApplicazione);
}

Esito InCornice(Contesto& ctx, const Cornice& cornice, const std::function<Esito()>& operazioni) {
  AperturaCornice(ctx, cornice);
  const Esito esito = operazioni();
  if (esito == Esito::Completato || esito == Esito::Fallito) ChiusuraCornice(ctx, cornice);
  return esito;
}

}  // namespace cw
