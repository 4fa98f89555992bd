// The menu "Strumenti": none of its commands uses the command frame.

#include <functional>

#include "build/vb_build.h"
#include "commands/comandi.h"
#include "platform/attendi.h"
#include "platform/errors.h"
#include "tools/genera_vbg.h"
#include "tools/indirizzi_base_dll.h"

namespace cw {

Esito mnuGeneraVbg_Click(Contesto& ctx) {
  GeneraVbg(ctx.fso, ctx.catalogo);
  return Esito::Completato;
}

Esito mnuIndirizziBaseDll_Click(Contesto& ctx) {
  IndirizziBaseDll(ctx.fso, ctx.catalogo, ctx.ui);
  return Esito::Completato;
}

Esito mnuVbBuild_Click(Contesto& ctx) {
  // No keystroke service (no display to type on) is no window to type into.
  if (!ctx.tastiera) SollevaErrore(kChiamataNonValida, "nessun servizio di tastiera");
  const std::function<void(int)> attendi =
      ctx.attendi ? ctx.attendi : std::function<void(int)>([](int ms) { Attendi(ms, 0); });
  EseguiVbBuild(ctx.catalogo, *ctx.tastiera, ctx.ui, attendi);
  return Esito::Completato;
}

}  // namespace cw
