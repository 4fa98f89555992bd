#include "build/tutto.h"

#include "build/backup.h"
#include "build/compila.h"
#include "platform/errors.h"
#include "platform/numeri.h"
#include "projectfile/operazioni_progetto.h"
#include "settings/modFileIni.h"

namespace cw {
namespace {

constexpr const char* kRifiuto = "Backup, impostazione compatibilità e compilazione non effettuate";
constexpr const char* kFatto = "Backup, impostazione compatibilità e compilazione effettuate";

bool IncrementoAttivo(const Campi& campi) { return campi.ValoreIncrementoAutomatico() == 1; }

// The revision read as a 16-bit integer (to the nearest, a half to the even
// neighbour) plus one. Error 13 for a text that is no number, 6 when it does
// not fit or is already 32767.
std::int16_t RevisioneIncrementata(const std::string& testo) {
  std::int16_t successiva = 0;
  if (RevisioneSuccessiva(testo, successiva)) return successiva;
  double valore = 0;
  SollevaErrore(ConvertiNumero(testo, valore) ? kOverflow : kTipoNonCorrispondente);
}

bool Rifiuta(Contesto& ctx, const char* messaggio, bool puntatore) {
  ctx.ui.MsgBox(messaggio, kStileEsclamativo, kTitoloApplicazione);
  if (puntatore) ctx.ui.SetMousePointer(kPuntatorePredefinito);
  return false;
}

// Started like a build and waited for the same way; no handle, no wait.
void EseguiEAttendi(Processes& processi, const std::string& riga, int stile) {
  const std::uint32_t pid = processi.Shell(riga, stile);
  if (const HandleProcesso h = processi.OpenProcess(kProcessAllAccess, false, pid)) {
    processi.WaitForSingleObject(h, kInfinite);
    processi.CloseHandle(h);
  }
}

Processes& Processi(Contesto& ctx) {
  if (!ctx.processi) SollevaErrore(kFileNonTrovato, "no process service");
  return *ctx.processi;
}

RegistratoreDll& Registratore(Contesto& ctx) {
  if (!ctx.registratore) SollevaErrore(kFileNonTrovato, "no registration service");
  return *ctx.registratore;
}

void CopiaDistribuzione(Contesto& ctx, int riga, const std::string& cartella) {
  ctx.fso.CopyFile(ctx.catalogo.FileOutputCompleto(riga), cartella + "\\" + ctx.catalogo(riga, kFileOutput), true);
}

}  // namespace

const char* VersioneNonValida(const Campi& campi) {
  const struct {
    Campo campo;
    const char* messaggio;
  } kControlli[] = {
      {Campo::txtVersionePrincipale, "Versione principale non valida"},
      {Campo::txtVersioneSecondario, "Versione secondaria non valida"},
      {Campo::txtVersioneRevisione, "Versione revisione non valida"},
  };
  int valore = 0;
  for (const auto& c : kControlli)
    if (!NumeroDiVersione(campi.Testo(c.campo), valore)) return c.messaggio;
  // The increment must leave a revision the next run accepts.
  if (IncrementoAttivo(campi) && valore >= kVersioneMassima) return "Versione revisione non valida";
  return nullptr;
}

std::int32_t ModoCompatibilitaScelto(const Campi& campi) {
  if (campi.OpzioneSelezionata(Compatibilita::Nessuna)) return kCompatibilitaNessuna;
  if (campi.OpzioneSelezionata(Compatibilita::Progetto)) return kCompatibilitaProgetto;
  return kCompatibilitaBinaria;
}

bool TuttoConsentito(Contesto& ctx) {
  // Both checks come before the backup, so a refused run leaves every file
  // as it was. The original asked only after writing the compatibility into
  // every project, and failed on the revision only after the whole build.
  if (const char* messaggio = VersioneNonValida(ctx.campi)) return Rifiuta(ctx, messaggio, false);
  if (ModoCompatibilitaScelto(ctx.campi) == kCompatibilitaNessuna) {
    if (ctx.ui.MsgBox("Sei sicuro di voler compliare senza nessuna compatibilià?", kStileOkAnnullaDomanda,
                      kTitoloApplicazione) != kRispostaOk)
      return Rifiuta(ctx, kRifiuto, true);
    if (ctx.ui.MsgBox("Sei proprio sicuro, potrebbe succedere del casino. Ti sei ricordato di rimuovere tutto dal "
                      "registro?",
                      kStileSiNoDomanda, kTitoloApplicazione) != kRispostaSi)
      return Rifiuta(ctx, kRifiuto, true);
  }
  return true;
}

Esito EseguiTutto(Contesto& ctx, const std::function<std::string()>& fileIni) {
  Processes& processi = Processi(ctx);
  RegistratoreDll& registratore = Registratore(ctx);
  const CatalogoComponenti& cat = ctx.catalogo;

  EseguiBackup(ctx.fso, cat, ctx.ui);
  ImpostaVersione(ctx.fso, cat, ctx.ui, ctx.campi.Testo(Campo::txtVersionePrincipale),
                  ctx.campi.Testo(Campo::txtVersioneSecondario), ctx.campi.Testo(Campo::txtVersioneRevisione));
  ImpostaCompatibilita(ctx.fso, cat, ctx.ui, ModoCompatibilitaScelto(ctx.campi));

  if (ctx.fso.FileExists(kFileErroriCompilazione)) ctx.fso.DeleteFile(kFileErroriCompilazione, true);
  int rigaFallita = -1;
  CompilaProgetti(ctx.fso, cat, ctx.ui, processi, &rigaFallita);

  // A failed build goes on like a good one: the error file shows why.
  ctx.ui.SetMousePointer(kPuntatorePredefinito);
  ctx.ui.MsgBox(kFatto, kStileInformativo, kTitoloApplicazione);
  if (ctx.mostraFileErrori)
    ctx.mostraFileErrori(kFileErroriCompilazione);
  else
    EseguiEAttendi(processi, ctx.visualizzatore + " " + kFileErroriCompilazione, kFinestraNormale);
  ctx.ui.SetMousePointer(kPuntatoreFrecciaClessidra);

  // The version just built keeps its number; the next run starts from the next.
  const bool incremento = IncrementoAttivo(ctx.campi);
  if (incremento)
    ctx.campi.ImpostaTesto(Campo::txtVersioneRevisione,
                           std::to_string(RevisioneIncrementata(ctx.campi.Testo(Campo::txtVersioneRevisione))));
  ScriviIniIntero(fileIni(), kSezioneVersione, "IncrementoAutomatico", static_cast<std::int16_t>(incremento ? -1 : 0));
  ScriviIniStringa(fileIni(), kSezioneVersione, "Principale", ctx.campi.Testo(Campo::txtVersionePrincipale));
  ScriviIniStringa(fileIni(), kSezioneVersione, "Secondario", ctx.campi.Testo(Campo::txtVersioneSecondario));
  ScriviIniStringa(fileIni(), kSezioneVersione, "Revisione", ctx.campi.Testo(Campo::txtVersioneRevisione));

  const int ultima = cat.UBound();
  const int prima = cat.LBound();
  if (ctx.fso.FolderExists(kCartellaWexoApp)) CopiaDistribuzione(ctx, ultima, kCartellaWexoApp);
  if (ctx.fso.FolderExists(kCartellaQuilApp)) {
    CopiaDistribuzione(ctx, ultima - 1, kCartellaQuilApp);
    CopiaDistribuzione(ctx, ultima - 2, kCartellaQuilApp);
    CopiaDistribuzione(ctx, ultima - 3, kCartellaQuilApp);
    // The one copy whose failure is let pass: the first component may be
    // locked by its registration or missing after a failed build.
    try {
      CopiaDistribuzione(ctx, prima, kCartellaQuilApp);
    } catch (const ErroreRuntime&) {
    }
  }

  // Registration failures have been shown by RegistraDll; the run goes on.
  bool registrato = registratore.RegistraDll(cat.FileOutputCompleto(prima), 1);
  registrato = registratore.RegistraDll(std::string(kCartellaQuilApp) + "\\" + cat(prima, kFileOutput), 0) && registrato;

  return rigaFallita >= 0 || !registrato ? Esito::Fallito : Esito::Completato;
}

}  // namespace cw
