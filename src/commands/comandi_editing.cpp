// The commands that edit the suite's project files: "Solo backup", "Backup e
// compatibilità", "Backup e versione", "Applica" and "Sostituisci".

#include <cstdint>
#include <string>

#include "build/backup.h"
#include "build/tutto.h"
#include "commands/comandi.h"
#include "commands/cornice.h"
#include "platform/numeri.h"
#include "projectfile/operazioni_progetto.h"
#include "settings/modFileIni.h"

namespace cw {
namespace {

void Backup(Contesto& ctx) { EseguiBackup(ctx.fso, ctx.catalogo, ctx.ui); }

// "Binaria" is what is left when neither of the other two is selected; its
// own button is never read.
std::int32_t ModoScelto(const Campi& campi) {
  if (campi.OpzioneSelezionata(Compatibilita::Nessuna)) return kCompatibilitaNessuna;
  if (campi.OpzioneSelezionata(Compatibilita::Progetto)) return kCompatibilitaProgetto;
  return kCompatibilitaBinaria;
}

// Step 1 of "Backup e versione": the first field that fails gets its message
// and the command goes no further.
bool VersioneValida(Contesto& ctx) {
  const char* messaggio = VersioneNonValida(ctx.campi);
  if (messaggio) ctx.ui.MsgBox(messaggio, kStileEsclamativo, kTitoloApplicazione);
  return !messaggio;
}

}  // namespace

Esito cmdBackup_Click(Contesto& ctx) {
  return InCornice(ctx, {kPuntatoreClessidra, true, "Backup effettuato"}, [&] {
    Backup(ctx);
    return Esito::Completato;
  });
}

Esito cmdBackupCompatibilita_Click(Contesto& ctx) {
  return InCornice(ctx, {kPuntatoreClessidra, true, "Backup e impostazione compatibilità effettuate"}, [&] {
    Backup(ctx);
    ImpostaCompatibilita(ctx.fso, ctx.catalogo, ctx.ui, ModoScelto(ctx.campi));
    return Esito::Completato;
  });
}

Esito cmdImpostaVersione_Click(Contesto& ctx) {
  if (!VersioneValida(ctx)) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreFrecciaClessidra, true, "Backup e impostazione versione effettuate"}, [&] {
    Backup(ctx);
    ImpostaVersione(ctx.fso, ctx.catalogo, ctx.ui, ctx.campi.Testo(Campo::txtVersionePrincipale),
                    ctx.campi.Testo(Campo::txtVersioneSecondario), ctx.campi.Testo(Campo::txtVersioneRevisione));
    // Greyed (2) counts as not ticked.
    const bool incremento = ctx.campi.ValoreIncrementoAutomatico() == 1;
    std::int16_t successiva = 0;
    if (incremento && RevisioneSuccessiva(ctx.campi.Testo(Campo::txtVersioneRevisione), successiva))
      ctx.campi.ImpostaTesto(Campo::txtVersioneRevisione, std::to_string(successiva));
    ScriviIniIntero(ctx.FileIni(), kSezioneVersione, "IncrementoAutomatico", static_cast<std::int16_t>(incremento ? -1 : 0));
    ScriviIniStringa(ctx.FileIni(), kSezioneVersione, "Principale", ctx.campi.Testo(Campo::txtVersionePrincipale));
    ScriviIniStringa(ctx.FileIni(), kSezioneVersione, "Secondario", ctx.campi.Testo(Campo::txtVersioneSecondario));
    ScriviIniStringa(ctx.FileIni(), kSezioneVersione, "Revisione", ctx.campi.Testo(Campo::txtVersioneRevisione));
    return Esito::Completato;
  });
}

Esito cmdApplica_Click(Contesto& ctx) {
  // The settings are saved before any project file is touched.
  const struct {
    Campo campo;
    const char* chiave;
  } kScritture[] = {
      {Campo::txtCommenti, "Commenti"},
      {Campo::txtCopyRight, "CopyRight"},
      {Campo::txtNomeProdotto, "NomeProdotto"},
      {Campo::txtNomeSocieta, "NomeSocieta"},
  };
  for (const auto& s : kScritture) ScriviIniStringa(ctx.FileIni(), kSezioneVersione, s.chiave, ctx.campi.Testo(s.campo));
  ImpostaProprieta(ctx.fso, ctx.catalogo, ctx.ui, ctx.campi.Testo(Campo::txtCommenti),
                   ctx.campi.Testo(Campo::txtCopyRight), ctx.campi.Testo(Campo::txtNomeProdotto),
                   ctx.campi.Testo(Campo::txtNomeSocieta));
  return Esito::Completato;
}

Esito cmdChangeGuid_Click(Contesto& ctx) {
  // No "Pronto" and no message: the log shows the backup's lines only.
  return InCornice(ctx, {kPuntatoreFrecciaClessidra, false, ""}, [&] {
    Backup(ctx);
    const std::string vecchio = ctx.campi.Testo(Campo::txtGuidOld);
    const std::string nuovo = ctx.campi.Testo(Campo::txtGuidNew);
    if (!nuovo.empty() && !vecchio.empty()) SostituisciGuid(ctx.fso, ctx.catalogo, vecchio, nuovo);
    return Esito::Completato;
  });
}

}  // namespace cw
