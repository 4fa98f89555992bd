#pragma once
// The full build run, "Backup, compatibilità e compilazione": backup,
// version, compatibility, the compile loop, the error file shown, the
// increment and the settings, the deployment copies and the first
// component's registration moved to its deployed copy.
//
// The run knows nothing of the window: it gets the field values it reads and
// the services it uses through the two types below, and the window's
// commands fill them in.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/ui.h"
#include "build/compila.h"
#include "build/compila_parallelo.h"
#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "platform/processi.h"
#include "platform/profilo.h"
#include "platform/schermo.h"
#include "projectfile/compatibilita.h"
#include "projectfile/versione.h"

namespace cw {

inline constexpr const char* kCartellaWexoApp = "D:\\WexoApp";
inline constexpr const char* kCartellaQuilApp = "D:\\QuilApp";
// The settings key that remembers the row where the last run's compile
// failed, for resuming there; a run that compiles every row removes it.
inline constexpr const char* kChiaveUltimaRigaFallita = "UltimaRigaFallita";

// The fields the run reads, taken when the click starts.
struct CampiTutto {
  std::string principale;
  std::string secondario;
  std::string revisione;
  RevisioneLetta revisioneLetta;  // revisione, read once
  Compatibilita compatibilita = Compatibilita::Nessuna;
  bool incremento = false;  // chkIncrementoAutomatico ticked (greyed is not)
  // A row: resume the compile there. The backup, the version and the
  // compatibility are already in the files, and the failed run has already
  // advanced the revision, so none of them is done again; the box after the
  // compile says "Compilazione ripresa da X.VBP effettuata" instead.
  int riprendiDa = -1;
  // The seconds a build may take (LimiteCompilazione); 0: no limit.
  std::uint32_t limiteCompilazione = 0;
  // Several builds at once over the reference graph (Paralleli above 1);
  // none: one after another.
  std::optional<PianoCompilazione> piano = std::nullopt;
};

// What the run works with; all of it borrowed.
struct ServiziTutto {
  FileSystem& fso;
  const CatalogoComponenti& catalogo;
  Ui& ui;
  Profilo& profilo;              // the settings file's reads and writes
  Processi* processi = nullptr;  // none: run-time error 53 before anything is touched
  Schermo* schermo = nullptr;    // none: no screenshot of a build past its limit
  // RegistraDll: flag 0 registers, 1 removes; false when a failure was shown.
  // None: run-time error 53 before anything is touched.
  std::function<bool(const std::string& percorso, std::int32_t flag)> registraDll = nullptr;
  // The settings file's path, asked anew for every value written.
  std::function<std::string()> fileIni = nullptr;
  // The incremented revision, put back into its field.
  std::function<void(const std::string& revisione)> impostaRevisione = nullptr;
  // Told right after the version settings have been written (or tried).
  std::function<void()> versioneSalvata = nullptr;
  // The viewer program's command line shows the error file, unless
  // mostraFileErrori is set: then it shows it, and returns once seen.
  std::string visualizzatore = "Notepad.exe";
  std::function<void(const std::string& fileErrori)> mostraFileErrori = nullptr;
  // Told of the builds as soon as the compile is over (before anything that
  // may still stop the run), with the failed row or -1; false when it could
  // not keep them (a report not written: it has said why), and the run goes
  // on and ends as failed.
  std::function<bool(const std::vector<RigaCompilata>& compilate, int rigaFallita)> compilazioneConclusa = nullptr;
};

// How the run ended, once it reached its end.
struct FineTutto {
  bool compilazioneFallita = false;     // a build ended in " ERRORE!"
  bool registrazioneFallita = false;    // RegistraDll reported a failure
  bool impostazioniNonSalvate = false;  // the version settings could not be written
  bool rapportoNonScritto = false;      // compilazioneConclusa answered false
  bool Riuscita() const {
    return !compilazioneFallita && !registrazioneFallita && !impostazioniNonSalvate && !rapportoNonScritto;
  }
};

// What must be settled before anything is touched: the version fields
// (VersioneNonValida, its message in a box); with "Nessuna",
// the two questions, whose refusal also puts the pointer back to the
// default. Returns false after a refusal.
bool TuttoConsentito(Ui& ui, const CampiTutto& campi);

// The row stored under kChiaveUltimaRigaFallita, when it names a row of the
// catalogue.
std::optional<int> RigaDaRiprendere(const Profilo& profilo, const std::string& fileIni,
                                    const CatalogoComponenti& catalogo);

// The run's steps, from the backup to the registration; the command frame's
// opening and closing are the caller's.
FineTutto EseguiTutto(const ServiziTutto& servizi, const CampiTutto& campi);

}  // namespace cw
