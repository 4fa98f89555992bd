#include "commands/versione_vista.h"

#include <memory>
#include <optional>
#include <string>

#include "settings/modFileIni.h"

namespace cw {
namespace {

VersioneSalvata LeggiDalFile(const Contesto& ctx, const std::string& file) {
  const std::unique_ptr<ProfiloLetto> letto = ctx.sistema.profilo->Leggi(file);
  return LeggiVersioneSalvata([&]() -> const ProfiloLetto& { return *letto; });
}

VersioneSalvata Mostrata(const Campi& campi) {
  // Greyed (2) counts as not ticked, as the save writes it.
  return {.incremento = campi.ValoreIncrementoAutomatico() == 1 ? 1 : 0,
          .principale = campi.Testo(Campo::txtVersionePrincipale),
          .secondario = campi.Testo(Campo::txtVersioneSecondario),
          .revisione = campi.Testo(Campo::txtVersioneRevisione)};
}

std::string Riga(const char* quale, const VersioneSalvata& v) {
  return std::string("Revisione ") + quale + ": " + v.revisione + " (versione " + v.principale + "." + v.secondario +
         "." + v.revisione + ", incremento automatico " + (v.incremento == 1 ? "sì" : "no") + ")";
}

}  // namespace

VersioneSalvata LeggiVersioneSalvata(const std::function<const ProfiloLetto&()>& profilo) {
  VersioneSalvata v;
  const DescrizioneCasella& casella = kIncrementoAutomatico;
  v.incremento = LeggiIniIntero(profilo(), casella.sezione, casella.chiave, casella.predefinito) & 1;
  v.principale = LeggiCampo(profilo(), Campo::txtVersionePrincipale);
  v.secondario = LeggiCampo(profilo(), Campo::txtVersioneSecondario);
  v.revisione = LeggiCampo(profilo(), Campo::txtVersioneRevisione);
  return v;
}

void MostraVersioneSalvata(Campi& campi, const VersioneSalvata& v) {
  campi.ImpostaIncrementoAutomatico(v.incremento);
  campi.ImpostaTesto(Campo::txtVersionePrincipale, v.principale);
  campi.ImpostaTesto(Campo::txtVersioneSecondario, v.secondario);
  campi.ImpostaTesto(Campo::txtVersioneRevisione, v.revisione);
}

void ConfermaVersioneSalvata(Contesto& ctx) {
  if (!ctx.versioneVista) return;
  const std::string file = ctx.FileIni();
  const VersioneSalvata salvata = LeggiDalFile(ctx, file);
  if (salvata == *ctx.versioneVista) return;
  ctx.versioneVista = salvata;
  const VersioneSalvata mostrata = Mostrata(ctx.campi);
  if (salvata == mostrata) return;
  const std::string testo =
      "Le impostazioni della versione in '" + file +
      "' sono cambiate da quando questa finestra le ha lette o salvate: forse le ha salvate un'altra esecuzione "
      "di CompilaWexo.\n\n" +
      Riga("salvata", salvata) + "\n" + Riga("mostrata", mostrata) +
      "\n\nCaricare le impostazioni salvate prima di continuare?\n"
      "Sì: la finestra mostra quelle salvate e il comando le usa.\n"
      "No: il comando usa i valori mostrati.";
  if (ctx.ui.MsgBox(testo, kStileSiNoDomanda, kTitoloApplicazione) == kRispostaSi)
    MostraVersioneSalvata(ctx.campi, salvata);
}

void RicordaVersioneSalvata(Contesto& ctx) {
  if (ctx.versioneVista) ctx.versioneVista = LeggiDalFile(ctx, ctx.FileIni());
}

}  // namespace cw
