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

constexpr const char* kGuidVuota =
    "Guid non sostituita: \"Vecchia guid\" o \"Nuova guid\" è vuota, fatto solo il backup";
constexpr const char* kGuidNonTrovata =
    "Vecchia guid non trovata in nessun file di progetto o form: nessun file modificato";

// The two GUIDs of "Sostituisci", before anything is read: a field that holds
// text holds a GUID, and both are written alike, as the text is replaced as
// it stands: "{A}" replaced by "B" would leave "Object=B#1.0#0" behind.
bool GuidValide(Contesto& ctx) {
  const std::string vecchio = ctx.campi.Testo(Campo::txtGuidOld), nuovo = ctx.campi.Testo(Campo::txtGuidNew);
  for (const Campo campo : {Campo::txtGuidOld, Campo::txtGuidNew}) {
    const std::string testo = ctx.campi.Testo(campo);
    if (testo.empty() || FormaGuid(testo)) continue;
    ctx.ui.MsgBox("Il testo di \"" + EtichettaCampo(campo) +
                      "\" non è una guid nella forma {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} (cifre esadecimali, "
                      "graffe facoltative): \"" +
                      testo + "\"\n\nNessun file è stato modificato: correggere il testo e riprovare.",
                  kStileEsclamativo, kTitoloApplicazione);
    return false;
  }
  if (!vecchio.empty() && !nuovo.empty() && (vecchio.front() == '{') != (nuovo.front() == '{')) {
    ctx.ui.MsgBox(
        "\"Vecchia guid\" e \"Nuova guid\" vanno scritte entrambe con le graffe o entrambe senza: il "
        "testo trovato è sostituito così come è scritto.\n\nNessun file è stato modificato: correggere il "
        "testo e riprovare.",
        kStileEsclamativo, kTitoloApplicazione);
    return false;
  }
  return true;
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
  const std::string vecchio = ctx.campi.Testo(Campo::txtGuidOld);
  const std::string nuovo = ctx.campi.Testo(Campo::txtGuidNew);
  // The form files are checked for writing only when they are going to be
  // rewritten; their leftover copies count either way.
  const bool guid = !vecchio.empty() && !nuovo.empty();
  if (guid && !CampiInAnsi(ctx, {Campo::txtGuidOld, Campo::txtGuidNew})) return Esito::Rifiutato;
  if (!GuidValide(ctx)) return Esito::Rifiutato;
  FileSuite suite;
  if (!VerificaFile(ctx, {.backup = true, .progetti = guid, .form = guid}, &suite)) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreFrecciaClessidra, true, ""}, [&] {
    Backup(ctx);
    if (!guid) {
      AnnunciaPasso(ctx.ui, kGuidVuota);
      return Esito::Completato;
    }
    // The listing of the check: the backup adds nothing to a "Form" folder.
    const FileCambiati cambiati = SostituisciGuid(ctx.fso, suite, vecchio, nuovo);
    AnnunciaPasso(ctx.ui, cambiati.progetti + cambiati.form == 0
                              ? std::string(kGuidNonTrovata)
                              : "Guid sostituita in " + std::to_string(cambiati.progetti) + " file di progetto e " +
                                    std::to_string(cambiati.form) + " file form");
    return Esito::Completato;
  });
}

}  // namespace cw
