// The commands that edit the suite's project files: "Solo backup", "Backup e
// compatibilità", "Backup e versione", "Applica" and "Sostituisci".

#include <array>
#include <cstdint>
#include <string>

#include "base/numeri.h"
#include "build/backup.h"
#include "commands/comandi.h"
#include "commands/controlli.h"
#include "commands/cornice.h"
#include "commands/verifica_campi.h"
#include "commands/verifica_file.h"
#include "commands/versione_vista.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/versione.h"
#include "settings/modFileIni.h"

namespace cw {
namespace {

void Backup(Contesto& ctx) { EseguiBackup(ctx.fso, ctx.catalogo, ctx.ui); }

// The check of "Backup e versione", before anything is touched: the first
// field that fails gets its message and the command goes no further.
bool VersioneValida(Contesto& ctx) {
  const char* messaggio =
      VersioneNonValida(ctx.campi.Testo(Campo::txtVersionePrincipale), ctx.campi.Testo(Campo::txtVersioneSecondario),
                        ctx.campi.Testo(Campo::txtVersioneRevisione), ctx.campi.ValoreIncrementoAutomatico() == 1);
  if (messaggio) ctx.ui.MsgBox(messaggio, kStileEsclamativo, kTitoloApplicazione);
  return !messaggio;
}

}  // namespace

Esito cmdBackup_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {.backup = true})) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreClessidra, true, "Backup effettuato"}, [&] {
    Backup(ctx);
    return Esito::Completato;
  });
}

Esito cmdBackupCompatibilita_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {.backup = true, .compatibilita = true})) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreClessidra, true, "Backup e impostazione compatibilità effettuate"}, [&] {
    Backup(ctx);
    ImpostaCompatibilita(ctx.fso, ctx.catalogo, ctx.ui, ModoCompatibilitaScelto(ctx.campi));
    return Esito::Completato;
  });
}

Esito cmdImpostaVersione_Click(Contesto& ctx) {
  // Before the fields are read: a Yes puts the saved version into them.
  ConfermaVersioneSalvata(ctx);
  const RevisioneLetta revisione = LeggiRevisione(ctx.campi.Testo(Campo::txtVersioneRevisione));
  if (!VersioneValida(ctx)) return Esito::Rifiutato;
  if (!VerificaFile(ctx, {.backup = true, .progetti = true})) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreFrecciaClessidra, true, "Backup e impostazione versione effettuate"}, [&] {
    Backup(ctx);
    ImpostaVersione(ctx.fso, ctx.catalogo, ctx.ui, ctx.campi.Testo(Campo::txtVersionePrincipale),
                    ctx.campi.Testo(Campo::txtVersioneSecondario), ctx.campi.Testo(Campo::txtVersioneRevisione));
    // Greyed (2) counts as not ticked.
    const bool incremento = ctx.campi.ValoreIncrementoAutomatico() == 1;
    if (incremento && revisione.successiva)
      ctx.campi.ImpostaTesto(Campo::txtVersioneRevisione, std::to_string(*revisione.successiva));
    const bool salvate = SalvaVersione(
        *ctx.sistema.profilo, [&] { return ctx.FileIni(); }, incremento, ctx.campi.Testo(Campo::txtVersionePrincipale),
        ctx.campi.Testo(Campo::txtVersioneSecondario), ctx.campi.Testo(Campo::txtVersioneRevisione));
    RicordaVersioneSalvata(ctx);
    if (salvate) return Esito::Completato;
    AvvisaImpostazioniNonSalvate(ctx.ui, ctx.FileIni());
    return Esito::Fallito;
  });
}

Esito cmdApplica_Click(Contesto& ctx) {
  const std::initializer_list<Campo> proprieta = {Campo::txtCommenti, Campo::txtCopyRight, Campo::txtNomeProdotto,
                                                  Campo::txtNomeSocieta};
  if (!CampiInAnsi(ctx, proprieta) || !CampiEntroLimite(ctx, proprieta)) return Esito::Rifiutato;
  if (!VerificaFile(ctx, {.progetti = true})) return Esito::Rifiutato;
  // An empty field empties that text in every project: asked first, naming
  // the fields, when some project holds it today.
  {
    const Campo campi[] = {Campo::txtCommenti, Campo::txtCopyRight, Campo::txtNomeProdotto, Campo::txtNomeSocieta};
    const std::array<bool, 4> scritte = ProprietaScritte(ctx.fso, ctx.catalogo);
    std::string nomi;
    for (size_t k = 0; k < scritte.size(); ++k)
      if (scritte[k] && ctx.campi.Testo(campi[k]).empty())
        nomi += (nomi.empty() ? "" : ", ") + EtichettaCampo(campi[k]);
    if (!nomi.empty() &&
        ctx.ui.MsgBox("Applica svuota in tutti i progetti i testi che oggi vi sono scritti: " + nomi + ". Continuare?",
                      kStileSiNoDomanda, kTitoloApplicazione) != kRispostaSi)
      return Esito::Rifiutato;
  }
  // The settings are saved before any project file is touched.
  bool salvate = true;
  for (const DescrizioneCampo& d : kTabellaCampi)
    if (d.gruppo == GruppoCampi::Proprieta)
      salvate = ScriviCampo(*ctx.sistema.profilo, ctx.FileIni(), d.campo, ctx.campi.Testo(d.campo)) && salvate;
  if (!salvate) AvvisaImpostazioniNonSalvate(ctx.ui, ctx.FileIni());
  ImpostaProprieta(ctx.fso, ctx.catalogo, ctx.ui, ctx.campi.Testo(Campo::txtCommenti),
                   ctx.campi.Testo(Campo::txtCopyRight), ctx.campi.Testo(Campo::txtNomeProdotto),
                   ctx.campi.Testo(Campo::txtNomeSocieta));
  return salvate ? Esito::Completato : Esito::Fallito;
}

Esito cmdChangeGuid_Click(Contesto& ctx) {
  // The form files are checked for writing only when they are going to be
  // rewritten; their leftover copies count either way.
  const bool guid = !ctx.campi.Testo(Campo::txtGuidOld).empty() && !ctx.campi.Testo(Campo::txtGuidNew).empty();
  if (guid && !CampiInAnsi(ctx, {Campo::txtGuidOld, Campo::txtGuidNew})) return Esito::Rifiutato;
  FileSuite suite;
  if (!VerificaFile(ctx, {.backup = true, .progetti = guid, .form = guid}, &suite)) return Esito::Rifiutato;
  // No "Pronto" and no message: the log shows the backup's lines only.
  return InCornice(ctx, {kPuntatoreFrecciaClessidra, false, ""}, [&] {
    Backup(ctx);
    const std::string vecchio = ctx.campi.Testo(Campo::txtGuidOld);
    const std::string nuovo = ctx.campi.Testo(Campo::txtGuidNew);
    // The listing of the check: the backup adds nothing to a "Form" folder.
    if (!nuovo.empty() && !vecchio.empty()) SostituisciGuid(ctx.fso, FileSostituzioneGuid(suite), vecchio, nuovo);
    return Esito::Completato;
  });
}

}  // namespace cw
