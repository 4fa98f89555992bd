#include "build/tutto.h"

#include "base/ansi.h"
#include "base/errors.h"
#include "build/backup.h"
#include "build/compila.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/versione.h"
#include "settings/modFileIni.h"

namespace cw {
namespace {

constexpr const char* kRifiuto = "Backup, impostazione compatibilità e compilazione non effettuate";
constexpr const char* kFatto = "Backup, impostazione compatibilità e compilazione effettuate";

// The incremented revision; error 13 for a text that is no number, 6 when it
// does not fit or is already 32767.
std::int16_t RevisioneIncrementata(const RevisioneLetta& letta) {
  if (letta.successiva) return *letta.successiva;
  SollevaErrore(letta.numero ? kOverflow : kTipoNonCorrispondente);
}

bool Rifiuta(Ui& ui, const char* messaggio, bool puntatore) {
  ui.MsgBox(messaggio, kStileEsclamativo, kTitoloApplicazione);
  if (puntatore) ui.SetMousePointer(kPuntatorePredefinito);
  return false;
}

// Started like a build and waited for until it ends.
void EseguiEAttendi(Processi& processi, const std::string& riga, int stile) {
  processi.Avvia(riga, stile)->Attendi(kSenzaLimite);
}

void CopiaDistribuzione(const ServiziTutto& s, int riga, const std::string& cartella) {
  s.fso.CopyFile(s.catalogo.FileOutputCompleto(riga), cartella + "\\" + s.catalogo(riga, kFileOutput), true);
}

}  // namespace

bool TuttoConsentito(Ui& ui, const CampiTutto& campi) {
  // Both checks come before the backup, so a refused run leaves every file
  // as it was. The original asked only after writing the compatibility into
  // every project, and failed on the revision only after the whole build.
  if (const char* messaggio = VersioneNonValida(campi.principale, campi.secondario, campi.revisione, campi.incremento))
    return Rifiuta(ui, messaggio, false);
  if (campi.compatibilita == Compatibilita::Nessuna) {
    if (ui.MsgBox("Sei sicuro di voler compliare senza nessuna compatibilià?", kStileOkAnnullaDomanda,
                  kTitoloApplicazione) != kRispostaOk)
      return Rifiuta(ui, kRifiuto, true);
    if (ui.MsgBox("Sei proprio sicuro, potrebbe succedere del casino. Ti sei ricordato di rimuovere tutto dal "
                  "registro?",
                  kStileSiNoDomanda, kTitoloApplicazione) != kRispostaSi)
      return Rifiuta(ui, kRifiuto, true);
  }
  return true;
}

std::optional<int> RigaDaRiprendere(const Profilo& profilo, const std::string& fileIni,
                                    const CatalogoComponenti& catalogo) {
  const std::string testo = LeggiIniStringa(profilo, fileIni, kSezioneVersione, kChiaveUltimaRigaFallita, "", 255);
  if (testo.empty() || testo.size() > 4 || testo.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const int riga = std::stoi(testo);
  if (riga < catalogo.LBound() || riga > catalogo.UBound()) return std::nullopt;
  return riga;
}

FineTutto EseguiTutto(const ServiziTutto& s, const CampiTutto& campi) {
  if (!s.processi) SollevaErrore(kFileNonTrovato, "no process service");
  if (!s.registraDll) SollevaErrore(kFileNonTrovato, "no registration service");
  Processi& processi = *s.processi;
  const CatalogoComponenti& cat = s.catalogo;
  FineTutto fine;

  const bool ripresa = campi.riprendiDa >= 0;
  if (!ripresa) {
    EseguiBackup(s.fso, cat, s.ui);
    ImpostaVersione(s.fso, cat, s.ui, campi.principale, campi.secondario, campi.revisione);
    ImpostaCompatibilita(s.fso, cat, s.ui, campi.compatibilita);
  }

  if (s.fso.FileExists(kFileErroriCompilazione)) s.fso.DeleteFile(kFileErroriCompilazione, true);
  std::vector<RigaCompilata> compilate;
  // The row the walk is at is stored as it starts: a walk stopped there by
  // anything (a signal, a run-time error, a failed build) is resumed there,
  // never past rows it did not build. The row an earlier run failed at is
  // forgotten once this walk passes it.
  bool ricordata = true;
  const auto inizioRiga = [&](int riga) {
    ricordata = ScriviIniIntero(s.profilo, s.fileIni(), kSezioneVersione, kChiaveUltimaRigaFallita,
                                static_cast<std::int16_t>(riga));
  };
  const std::optional<int> rigaFallita =
      campi.piano ? CompilaInParallelo(s.fso, cat, s.ui, processi, *campi.piano, campi.riprendiDa, &compilate,
                                       campi.limiteCompilazione, inizioRiga, s.schermo)
                  : CompilaProgetti(s.fso, cat, s.ui, processi, campi.riprendiDa, &compilate, campi.limiteCompilazione,
                                    inizioRiga, s.schermo);
  fine.compilazioneFallita = rigaFallita.has_value();
  if (!fine.compilazioneFallita) CancellaIniChiave(s.profilo, s.fileIni(), kSezioneVersione, kChiaveUltimaRigaFallita);
  if (s.compilazioneConclusa) fine.rapportoNonScritto = !s.compilazioneConclusa(compilate, rigaFallita.value_or(-1));

  s.ui.SetMousePointer(kPuntatorePredefinito);
  if (fine.compilazioneFallita) {
    // Not a success: the programs of this run were not all built, so none
    // is deployed or registered beside those of an older build.
    s.ui.MsgBox("Compilazione di " + MaiuscoloUtf8(cat(*rigaFallita, kFileProgetto)) +
                    " fallita: esecuzione non completata, nessuna copia nelle cartelle di distribuzione e nessuna "
                    "registrazione",
                kStileEsclamativo, kTitoloApplicazione);
  } else {
    // A resumed run made no backup and wrote no version or compatibility:
    // its box says what it did.
    s.ui.MsgBox(ripresa
                    ? "Compilazione ripresa da " + MaiuscoloUtf8(cat(campi.riprendiDa, kFileProgetto)) + " effettuata"
                    : std::string(kFatto),
                kStileInformativo, kTitoloApplicazione);
  }
  if (s.mostraFileErrori)
    s.mostraFileErrori(kFileErroriCompilazione);
  else
    EseguiEAttendi(processi, s.visualizzatore + " " + kFileErroriCompilazione, kFinestraNormale);
  s.ui.SetMousePointer(kPuntatoreFrecciaClessidra);

  // The version just built keeps its number; the next run starts from the next.
  std::string revisione = campi.revisione;
  if (campi.incremento && !ripresa) {
    revisione = std::to_string(RevisioneIncrementata(campi.revisioneLetta));
    if (s.impostaRevisione) s.impostaRevisione(revisione);
  }
  const bool salvata =
      SalvaVersione(s.profilo, s.fileIni, campi.incremento, campi.principale, campi.secondario, revisione);
  if (s.versioneSalvata) s.versioneSalvata();
  if (!salvata || !ricordata) {
    fine.impostazioniNonSalvate = true;
    AvvisaImpostazioniNonSalvate(s.ui, s.fileIni());
  }
  if (fine.compilazioneFallita) return fine;

  const int ultima = cat.UBound();
  const int prima = cat.LBound();
  if (s.fso.FolderExists(kCartellaWexoApp)) CopiaDistribuzione(s, ultima, kCartellaWexoApp);
  if (s.fso.FolderExists(kCartellaQuilApp)) {
    CopiaDistribuzione(s, ultima - 1, kCartellaQuilApp);
    CopiaDistribuzione(s, ultima - 2, kCartellaQuilApp);
    CopiaDistribuzione(s, ultima - 3, kCartellaQuilApp);
    // The one copy whose failure is let pass: the first component may be
    // locked by its registration or missing after a failed build.
    try {
      CopiaDistribuzione(s, prima, kCartellaQuilApp);
    } catch (const ErroreRuntime&) {
    }
  }

  // Registration failures have been shown by RegistraDll; the run goes on.
  bool registrato = s.registraDll(cat.FileOutputCompleto(prima), 1);
  registrato = s.registraDll(std::string(kCartellaQuilApp) + "\\" + cat(prima, kFileOutput), 0) && registrato;
  fine.registrazioneFallita = !registrato;
  return fine;
}

}  // namespace cw
