#include "commands/servizi.h"

#include "base/errors.h"
#include "commands/comandi.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "settings/modFileIni.h"

namespace cw {

namespace {

OpzioniPiattaforma ConRadice(OpzioniPiattaforma opzioni) {
  if (opzioni.radiceSuite.empty()) opzioni.radiceSuite = kRadiceSorgenti;
  return opzioni;
}

}  // namespace

Servizi::Servizi(Ui& ui, const OpzioniPiattaforma& opzioni, const CreaPiattaforma& crea)
    : piattaforma_(crea(ConRadice(opzioni))) {
  registratore_ = std::make_unique<RegistratoreIsolato>(
      ui, std::make_unique<CanaleWorker>(std::move(piattaforma_.workers)), kLimiteRegistrazione, opzioni.attesa);
}

Servizi::~Servizi() = default;

void Servizi::CaricaCatalogo() { cw::CaricaCatalogo(catalogo_); }

void Servizi::CaricaFinestra(cw::Contesto& ctx) {
  try {
    CaricaCatalogo();
    // Kept for the commands that stamp or save the version: the window may
    // stay open while another instance saves a newer one.
    ctx.versioneVista = CaricaImpostazioni(ctx);
    if (const std::string marca = MarcaUtf8Rifiutata(*ctx.sistema.profilo, ctx.FileIni()); !marca.empty())
      ctx.ui.MsgBox(marca, kStileEsclamativo, kTitoloApplicazione);
  } catch (const ErroreRuntime& e) {
    ctx.ui.MsgBox(e.TestoMessaggio(), kStileCritico, kTitoloApplicazione);
  }
  ctx.ui.LogClear();
}

cw::Contesto Servizi::Contesto(Ui& ui, Campi& campi) {
  return cw::Contesto{
      .fso = *piattaforma_.fso,
      .catalogo = catalogo_,
      .ui = ui,
      .campi = campi,
      .sistema = piattaforma_.sistema,
      .processi = piattaforma_.processi.get(),
      .schermo = piattaforma_.schermo.get(),
      .registratore = registratore_.get(),
      .tastiera = piattaforma_.tastiera.get(),
      .fileIni = piattaforma_.fileImpostazioni,
      .attendi = [pausa = piattaforma_.sistema.pausa.get()](int ms) { pausa->Attendi(ms, 0); },
      .blocco = piattaforma_.blocco.get(),
  };
}

}  // namespace cw
