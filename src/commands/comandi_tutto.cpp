// "Backup, compatibilità e compilazione" and "Riprendi compilazione".

#include "build/rapporto_junit.h"
#include "build/tutto.h"
#include "commands/comandi.h"
#include "commands/cornice.h"
#include "commands/verifica_campi.h"
#include "commands/verifica_file.h"
#include "commands/versione_vista.h"
#include "projectfile/versione.h"
#include "settings/modFileIni.h"

namespace cw {
namespace {

// The limit of a build: the batch mode's option, else the settings key. A
// key that holds no such number refuses the run before anything is touched,
// as a bad option does (style 48).
std::optional<std::uint32_t> LimiteCompilazione(Contesto& ctx) {
  if (ctx.limiteCompilazione) return ctx.limiteCompilazione;
  const std::string file = ctx.FileIni();
  const std::string testo =
      LeggiIniStringa(*ctx.sistema.profilo, file, kSezioneVersione, kChiaveLimiteCompilazione, "", 255);
  if (testo.empty()) return 0;  // absent or empty: no limit, as before the key
  if (const auto limite = LeggiLimiteCompilazione(testo)) return limite;
  ctx.ui.MsgBox("Valore di " + std::string(kChiaveLimiteCompilazione) + " non valido in '" + file + "': '" + testo +
                    "' (secondi, da 0 a " + std::to_string(kLimiteCompilazioneMassimo) + "; 0 per nessun limite)",
                kStileEsclamativo, kTitoloApplicazione);
  return std::nullopt;
}

// How many builds run at once: the batch mode's option, else the settings
// key (absent: 1). Above 1 the run is planned over the reference graph; a
// key that holds no such number, or references in a circle, refuse the run
// before anything is touched (style 48).
bool PianoParallelo(Contesto& ctx, CampiTutto& campi) {
  std::optional<int> paralleli = ctx.paralleli;
  if (!paralleli) {
    const std::string file = ctx.FileIni();
    const std::string testo = LeggiIniStringa(*ctx.sistema.profilo, file, kSezioneVersione, kChiaveParalleli, "", 255);
    paralleli = testo.empty() ? 1 : LeggiParalleli(testo);
    if (!paralleli) {
      ctx.ui.MsgBox("Valore di " + std::string(kChiaveParalleli) + " non valido in '" + file + "': '" + testo +
                        "' (compilazioni contemporanee, da 1 a " + std::to_string(kParalleliMassimo) + ")",
                    kStileEsclamativo, kTitoloApplicazione);
      return false;
    }
  }
  if (*paralleli == 1) return true;
  std::string errore;
  campi.piano = PianificaCompilazione(ctx.fso, ctx.catalogo, *paralleli, errore);
  if (!campi.piano) ctx.ui.MsgBox(errore, kStileEsclamativo, kTitoloApplicazione);
  return campi.piano.has_value();
}

CampiTutto LeggiCampiTutto(const Campi& campi) {
  const std::string revisione = campi.Testo(Campo::txtVersioneRevisione);
  return CampiTutto{
      .principale = campi.Testo(Campo::txtVersionePrincipale),
      .secondario = campi.Testo(Campo::txtVersioneSecondario),
      .revisione = revisione,
      .revisioneLetta = LeggiRevisione(revisione),
      .compatibilita = ModoCompatibilitaScelto(campi),
      .incremento = campi.ValoreIncrementoAutomatico() == 1,
  };
}

Esito Esegui(Contesto& ctx, const CampiTutto& campi) {
  RegistratoreDll* registratore = ctx.registratore;
  const ServiziTutto servizi{
      .fso = ctx.fso,
      .catalogo = ctx.catalogo,
      .ui = ctx.ui,
      .profilo = *ctx.sistema.profilo,
      .processi = ctx.processi,
      .schermo = ctx.schermo,
      .registraDll = registratore ? std::function<bool(const std::string&, std::int32_t)>(
                                        [registratore](const std::string& percorso, std::int32_t flag) {
                                          return registratore->RegistraDll(percorso, flag);
                                        })
                                  : nullptr,
      .fileIni = [&ctx] { return ctx.FileIni(); },
      .impostaRevisione = [&ctx](const std::string& r) { ctx.campi.ImpostaTesto(Campo::txtVersioneRevisione, r); },
      .versioneSalvata = [&ctx] { RicordaVersioneSalvata(ctx); },
      .visualizzatore = ctx.visualizzatore,
      .mostraFileErrori = ctx.mostraFileErrori,
      .compilazioneConclusa =
          ctx.rapportoJUnit
              ? std::function<bool(const std::vector<RigaCompilata>&, int)>(
                    [&ctx](const std::vector<RigaCompilata>& compilate, int rigaFallita) {
                      return ctx.rapportoJUnit(RapportoJUnit(EsitiCompilazione(ctx.catalogo, compilate, rigaFallita)));
                    })
              : nullptr,
  };
  return EseguiTutto(servizi, campi).Riuscita() ? Esito::Completato : Esito::Fallito;
}

}  // namespace

Esito EseguiTutto(Contesto& ctx) { return Esegui(ctx, LeggiCampiTutto(ctx.campi)); }

Esito cmdTutto_Click(Contesto& ctx) {
  // The fields are read once, before the frame opens (after a Yes has put
  // the saved version into them); the check comes first, like the version
  // check of "Backup e versione": a refused run leaves the log, the pointer
  // and every file as they were.
  ConfermaVersioneSalvata(ctx);
  CampiTutto campi = LeggiCampiTutto(ctx.campi);
  const std::optional<std::uint32_t> limite = LimiteCompilazione(ctx);
  if (!limite) return Esito::Rifiutato;
  campi.limiteCompilazione = *limite;
  if (!TuttoConsentito(ctx.ui, campi)) return Esito::Rifiutato;
  if (!VerificaFile(ctx, {.backup = true, .progetti = true})) return Esito::Rifiutato;
  if (!PianoParallelo(ctx, campi)) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreClessidra, true, ""}, [&] { return Esegui(ctx, campi); });
}

Esito mnuRiprendiCompilazione_Click(Contesto& ctx) {
  const std::optional<int> riga = RigaDaRiprendere(*ctx.sistema.profilo, ctx.FileIni(), ctx.catalogo);
  if (!riga) {
    ctx.ui.MsgBox("Nessuna compilazione da riprendere", kStileInformativo, kTitoloApplicazione);
    return Esito::Rifiutato;
  }
  // It compiles the suite as it stands, so not beside a leftover copy.
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  // Nothing is written into the project files and nothing asked about them:
  // the failed run did all of that before its compile. The version fields are
  // still saved at the end.
  ConfermaVersioneSalvata(ctx);
  if (!CampiInAnsi(ctx, {Campo::txtVersionePrincipale, Campo::txtVersioneSecondario, Campo::txtVersioneRevisione}))
    return Esito::Rifiutato;
  const std::optional<std::uint32_t> limite = LimiteCompilazione(ctx);
  if (!limite) return Esito::Rifiutato;
  CampiTutto campi = LeggiCampiTutto(ctx.campi);
  campi.riprendiDa = *riga;
  campi.limiteCompilazione = *limite;
  if (!PianoParallelo(ctx, campi)) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreClessidra, true, ""}, [&] { return Esegui(ctx, campi); });
}

}  // namespace cw
