#pragma once
// One run of the stand-in, for the Linux and the Windows builds alike: the
// words of "/make P /outdir D /out E" (options in any letter case), the build,
// the report appended to E.
//
// Exit status 0 once the build is over, failed or not (the outcome is in E);
// 2 for a command line it cannot use, 1 when E cannot be written.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "compilazione.h"

namespace cw::vb6 {

// The order check and the build's time from the two variables' values (none:
// unset). A time that is not a whole number of milliseconds up to an hour is
// refused: none, with the reason in errore.
std::optional<Ordine> LeggiOrdine(const std::optional<std::string>& inizio, const std::optional<std::string>& ms,
                                  std::string& errore);

// argomenti: the words after the program's name, UTF-8. noop: no check and no
// built file, only the success line (the benchmark measures the caller).
// chiedi shows a project's question (StandinDomanda) and returns once it is
// answered, if ever; the build then fails on it. None: it fails at once.
// ordine: the order check and the build's time (noop takes the time only).
int Esegui(const std::vector<std::string>& argomenti, const Unita& unita, const Componenti& componenti, bool noop,
           const std::function<void(const std::string& domanda)>& chiedi = nullptr, const Ordine& ordine = {});

}  // namespace cw::vb6
