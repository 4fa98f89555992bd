// "Backup, compatibilità e compilazione".

#include "build/tutto.h"
#include "commands/comandi.h"
#include "commands/cornice.h"
#include "projectfile/operazioni_progetto.h"

namespace cw {
namespace {

// "Binaria" is what is left when neither of the other two is selected; its
// own button is never read.
std::int32_t ModoCompatibilitaScelto(const Campi& campi) {
  if (campi.OpzioneSelezionata(Compatibilita::Nessuna)) return kCompatibilitaNessuna;
  if (campi.OpzioneSelezionata(Compatibilita::Progetto)) return kCompatibilitaProgetto;
  return kCompatibilitaBinaria;
}

CampiTutto LeggiCampiTutto(const Campi& campi) {
  return CampiTutto{
      .principale = campi.Testo(Campo::txtVersionePrincipale),
      .secondario = campi.Testo(Campo::txtVersioneSecondario),
      .revisione = campi.Testo(Campo::txtVersioneRevisione),
      .compatibilita = ModoCompatibilitaScelto(campi),
      .incremento = campi.ValoreIncrementoAutomatico() == 1,
  };
}

}  // namespace

Esito EseguiTutto(Contesto& ctx) {
  RegistratoreDll* registratore = ctx.registratore;
  const ServiziTutto servizi{
      .fso = ctx.fso,
      .catalogo = ctx.catalogo,
      .ui = ctx.ui,
      .processi = ctx.processi,
      .registraDll = registratore ? std::function<bool(const std::string&, std::int32_t)>(
                                        [registratore](const std::string& percorso, std::int32_t flag) {
                                          return registratore->RegistraDll(percorso, flag);
                                        })
                                  : nullptr,
      .fileIni = [&ctx] { return ctx.FileIni(); },
      .impostaRevisione = [&ctx](const std::string& r) { ctx.campi.ImpostaTesto(Campo::txtVersioneRevisione, r); },
      .visualizzatore = ctx.visualizzatore,
      .mostraFileErrori = ctx.mostraFileErrori,
  };
  return EseguiTutto(servizi, LeggiCampiTutto(ctx.campi)).Riuscita() ? Esito::Completato : Esito::Fallito;
}

Esito cmdTutto_Click(Contesto& ctx) {
  // Asked before the frame opens, like the version check of "Backup e
  // versione": a refused run leaves the log, the pointer and every file as
  // they were.
  if (!TuttoConsentito(ctx.ui, LeggiCampiTutto(ctx.campi))) return Esito::Rifiutato;
  return InCornice(ctx, {kPuntatoreClessidra, true, ""}, [&] { return EseguiTutto(ctx); });
}

}  // namespace cw
