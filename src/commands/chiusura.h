#pragma once
// A request to close a window while one of its commands runs, for both
// windows: the compile walk and Vb-Build pump events, so the request arrives
// in the middle of the run.

#include "base/ui.h"

namespace cw {

inline constexpr const char* kComandoInCorso =
    "Un comando è in corso: la finestra si potrà chiudere quando sarà terminato";

// Says that a command is in progress (style 48) and answers false: the
// window stays open and the command goes on. The question whether to stop
// after the project in progress belongs here once the run can be stopped.
bool ChiudereDuranteComando(Ui& ui);

}  // namespace cw
