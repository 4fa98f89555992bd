// The menu "Strumenti": none of its commands uses the command frame.

#include <functional>
#include <string>
#include <vector>

#include "build/vb_build.h"
#include "commands/comandi.h"
#include "commands/verifica_file.h"
#include "platform/ansi.h"
#include "platform/attendi.h"
#include "platform/errors.h"
#include "platform/passi_log.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/riscrivi_file.h"
#include "tools/genera_vbg.h"
#include "tools/indirizzi_base_dll.h"

namespace cw {

Esito mnuGeneraVbg_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  GeneraVbg(ctx.fso, ctx.catalogo);
  return Esito::Completato;
}

Esito mnuIndirizziBaseDll_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  IndirizziBaseDll(ctx.fso, ctx.catalogo, ctx.ui);
  return Esito::Completato;
}

Esito mnuVbBuild_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  // No keystroke service (no display to type on) is no window to type into.
  if (!ctx.tastiera) SollevaErrore(kChiamataNonValida, "nessun servizio di tastiera");
  const std::function<void(int)> attendi =
      ctx.attendi ? ctx.attendi : std::function<void(int)>([](int ms) { Attendi(ms, 0); });
  EseguiVbBuild(ctx.catalogo, *ctx.tastiera, ctx.ui, attendi);
  return Esito::Completato;
}

Esito mnuRipristina_Click(Contesto& ctx) {
  // A "_tmp" is written whole before its file is opened for writing, so one
  // that exists holds the file as it was: putting it back is always right.
  const std::vector<std::string> copie = ElencaFileSuite(ctx.fso, ctx.catalogo).copie;
  for (const std::string& copia : copie) {
    const std::string file = copia.substr(0, copia.size() - kSuffissoCopia.size());
    const std::string voce =
        "Ripristino di " + MaiuscoloUtf8(file.substr(file.find_last_of('\\') + 1)) + " in corso...";
    AnnunciaPasso(ctx.ui, voce);
    ctx.fso.RenameFile(copia, file);
    ConcludiPasso(ctx.ui, voce + " OK!");
  }
  ctx.ui.MsgBox(copie.empty() ? "Nessun file interrotto da ripristinare"
                              : "File interrotti ripristinati: " + std::to_string(copie.size()),
                kStileInformativo, kTitoloApplicazione);
  return Esito::Completato;
}

}  // namespace cw
