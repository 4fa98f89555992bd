// "Backup, compatibilità e compilazione".

#include "build/tutto.h"
#include "commands/comandi.h"
#include "commands/cornice.h"
#include "commands/verifica_file.h"

namespace cw {

Esito cmdTutto_Click(Contesto& ctx) {
  // Asked before the frame opens, like the version check of "Backup e
  // versione": a refused run leaves the log, the pointer and every file as
  // they were.
  if (!TuttoConsentito(ctx)) return Esito::Rifiutato;
  if (!VerificaFile(ctx, {.backup = true, .progetti = true})) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreClessidra, true, ""}, [&] { return EseguiTutto(ctx, [&] { return ctx.FileIni(); }); });
}

}  // namespace cw
