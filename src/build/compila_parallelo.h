#pragma once
// The compile loop with several builds at once, over the suite's reference
// graph: a row starts once every row it needs has been built in this run,
// and the log, the error file and the failed row are the sequential walk's.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/ui.h"
#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "platform/processi.h"
#include "platform/schermo.h"

namespace cw {

// The settings key (section "Versione") of how many builds may run at once;
// absent: 1, the sequential walk. The batch mode's --paralleli overrides it.
inline constexpr const char* kChiaveParalleli = "Paralleli";
inline constexpr int kParalleliMassimo = 64;

// A number of builds as the option or the key writes it: digits only, from
// 1 to kParalleliMassimo; none for anything else.
std::optional<int> LeggiParalleli(std::string_view testo);

// What the scheduler knows of the rows, each by its offset from LBound.
struct PianoCompilazione {
  int paralleli = 1;
  // The rows each row needs.
  std::vector<std::vector<int>> richieste;
  // How much of the run still hangs on each row: of the rows ready, the one
  // with most goes first, the catalogue's order among equals.
  std::vector<double> priorita;
  // The OCX files each row builds or references, in lower case: instances of
  // the development environment that build or use one OCX at once write the
  // same files of it and fail, so two rows that share one never run at once.
  std::vector<std::vector<std::string>> ocx;
};

// The plan from the project files (read through fso; a missing one raises
// its run-time error). None when references go round in a circle, with the
// rows named in errore (UTF-8): no order builds them.
std::optional<PianoCompilazione> PianificaCompilazione(FileSystem& fso, const CatalogoComponenti& catalogo,
                                                       int paralleli, std::string& errore);

// As CompilaProgetti, with up to piano.paralleli builds at once. Each build
// writes a report of its own beside the error file, which gets them in
// catalogue order; the log's lines come in that order too, each once its
// build has ended. After the first failure in catalogue order no row after
// it starts, the rows still running end (or at the limit) and the error file
// ends with a line naming those built past the failure. inizioRiga is told
// each row as the log reaches it.
std::optional<int> CompilaInParallelo(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Processi& processi,
                                      const PianoCompilazione& piano, int primaRiga = -1,
                                      std::vector<RigaCompilata>* compilate = nullptr, std::uint32_t limiteSecondi = 0,
                                      const std::function<void(int riga)>& inizioRiga = {}, Schermo* schermo = nullptr);

}  // namespace cw
