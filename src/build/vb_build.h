#pragma once
// "Vb-Build": hands every project of the catalogue to the outside build tool
// by typing its path, then Enter, into the tool's window, at a fixed pace.

#include <functional>

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "platform/keyboard.h"

namespace cw {

inline constexpr const char* kTitoloVbBuild = "Vb-Build - Wexo";
// The pace, in milliseconds: once after activating the window, then between
// a path and its Enter, then after each Enter (5 s a row, 745 s in all).
inline constexpr int kAttesaIniziale = 5000;
inline constexpr int kAttesaPercorso = 1000;
inline constexpr int kAttesaDopoInvio = 4000;

// The tool may still be opening when the entry is chosen: its window is
// looked for once a second for this long before the run gives up.
inline constexpr int kAttesaFinestraVbBuild = 10000;
inline constexpr int kIntervalloRicercaVbBuild = 1000;

// Clears the log and activates the tool's window; when none has that title
// within kAttesaFinestraVbBuild, says so in the log and in a box (style 48),
// types nothing and returns false. Then pumps events once and waits; then for
// each row types the project file's path literally and Enter, its log line
// "Invio a Vb-Build del progetto N di 148: <path> in corso... OK!", and at
// the end "Progetti inviati a Vb-Build: 148". Before every path and every
// Enter the tool's window is made active again if the user moved elsewhere,
// so no keys land in another window; a tool that has gone stops the run with
// error 5.
bool EseguiVbBuild(const CatalogoComponenti& catalogo, Keyboard& tastiera, Ui& ui,
                   const std::function<void(int ms)>& attendi);

}  // namespace cw
