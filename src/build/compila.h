#pragma once
// The compile loop: the development environment's command-line build run
// once per catalogue row, in order, the first failure ending the walk.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "platform/processi.h"
#include "platform/schermo.h"

namespace cw {

inline constexpr const char* kAmbienteSviluppo = "C:\\Programmi\\Microsoft Visual Studio\\VB98\\VB6.EXE";
inline constexpr const char* kFileErroriCompilazione = "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt";
// The screen as it was when a build passed its limit, beside the error file.
inline constexpr const char* kSchermataCompilazione = "C:\\Progetti VB\\Wexo\\ErroriCompilazione.png";

// The settings key (section "Versione") of the seconds a build may take;
// absent or 0: no limit. The batch mode's --limite-compilazione overrides it.
inline constexpr const char* kChiaveLimiteCompilazione = "LimiteCompilazione";
inline constexpr std::uint32_t kLimiteCompilazioneMassimo = 86400;

// A limit as the option or the key writes it: a whole number of seconds,
// digits only, from 0 to kLimiteCompilazioneMassimo. None for anything else
// ("" included).
std::optional<std::uint32_t> LeggiLimiteCompilazione(std::string_view testo);

// The command line that builds one project into one folder, every path
// between double quotes and nothing escaped.
std::string RigaDiComando(const std::string& progetto, const std::string& cartellaOutput);
// The same with the error file of its own a build gets when several run at once.
std::string RigaDiComando(const std::string& progetto, const std::string& cartellaOutput,
                          const std::string& fileErrori);

// A row of one of these kinds is not built ("dll-skipcompile" and the like).
bool CompilazioneDaSaltare(const std::string& tipo);

// The window's Enabled property is off for the walk, so the event pump run
// between builds repaints the window but lets no click start another command
// inside it; on again after it, also when a run-time error ends the walk.
class FinestraDisabilitata {
 public:
  explicit FinestraDisabilitata(Ui& ui) : ui_(ui) { ui_.SetEnabled(false); }
  ~FinestraDisabilitata() { ui_.SetEnabled(true); }
  FinestraDisabilitata(const FinestraDisabilitata&) = delete;
  FinestraDisabilitata& operator=(const FinestraDisabilitata&) = delete;

 private:
  Ui& ui_;
};

// True when the error file's text holds "impossibile" or "non completata",
// in any mix of letter case.
bool CompilazioneFallita(const std::string& testoErrori);

// The line (UTF-8) the error file gets for a build ended at its limit: the
// project, the limit, and each window it showed with its caption and texts.
std::string RigaLimiteSuperato(const std::string& progetto, std::uint32_t secondi,
                               const std::vector<FinestraMostrata>& finestre);

// One build of the walk: its row, how long it took, and what it added to the
// error file (Windows-1252).
struct RigaCompilata {
  int riga = 0;
  double secondi = 0;
  std::string rapporto;
};

// The error file's line for a build that ended by a signal (exit code 128 +
// n, as the Linux service reports it) or an exception (an NTSTATUS error
// code, 0xC0000000 and up, under Windows or Wine); "" for any other code.
std::string RigaFineAnomala(const std::string& progetto, std::uint32_t codice);

// How a build that has been waited for ended: past its limit (esito InCorso,
// with a limit) its windows are read, the screen saved through schermo
// (schermata tells whether it was) and it is ended with all it started; a
// failed wait ends it too; an end by a signal or an exception is noted. Each
// of those appends its line to fileErrori and gives true: the build failed
// whatever its report says.
bool ConcludiCompilazione(FileSystem& fso, ProgrammaAvviato& compilazione, EsitoAttesa esito,
                          const std::string& progetto, const std::string& fileErrori, std::uint32_t limiteSecondi,
                          Schermo* schermo, bool& schermata);

// Deletes the error file, then builds every row whose kind is not a skip
// marker: "N) Compilazione NAME in corso..." announced, the build started
// minimized and waited for, the error file read whole, the line ended in
// " OK!" or " ERRORE!". The first failure ends the walk; otherwise one turn of
// the event pump follows each row, skipped rows included. Returns the failed
// row's index, or none when every row was built. A development environment that cannot be started, or a build
// that leaves no error file, raises run-time error 53 at that row. The walk
// starts at primaRiga when it is given (resuming after a failure); each build
// is added to compilate when it is given.
//
// A build that ended by a signal or an exception fails whatever its error
// file says, with RigaFineAnomala in it.
//
// With limiteSecondi (0: none), a build still running after that many seconds
// fails: the windows it shows are read and the screen saved beside the error
// file through schermo, when given (a line names it in the log when it could be), the build is ended with
// all it started, and the error file gets RigaLimiteSuperato.
//
// inizioRiga, when given, is told each row to be built before it starts, so
// a walk stopped anywhere (a signal, a run-time error) is known to have
// stopped there.
std::optional<int> CompilaProgetti(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Processi& processi,
                                   int primaRiga = -1, std::vector<RigaCompilata>* compilate = nullptr,
                                   std::uint32_t limiteSecondi = 0,
                                   const std::function<void(int riga)>& inizioRiga = {}, Schermo* schermo = nullptr);

}  // namespace cw
