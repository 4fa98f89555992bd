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

// Activates the tool's window (error 5 when there is none, nothing typed),
// pumps events once and waits; then for each row types the project file's
// path literally and Enter. Before every path and every Enter the tool's
// window is made active again if the user moved elsewhere, so no keys land
// in another window; a tool that has gone stops the run with error 5.
// No log, no message.
void EseguiVbBuild(const CatalogoComponenti& catalogo, Keyboard& tastiera, Ui& ui,
                   const std::function<void(int ms)>& attendi);

}  // namespace cw
