#pragma once
// The form's controls (commands/controlli.h) as windows of the system's
// classes, each child of its container, at its place in pixels.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace cw {

// Control ids: the row of the table plus this.
inline constexpr int kPrimoIdControllo = 100;

// twips -> pixels at dpi (15 twips a pixel at 96 dpi).
inline int PixelDaTwipsWin32(int twips, int dpi) { return twips * dpi / 1440; }

struct ControlliCreati {
  std::map<std::string, HWND> perNome;
  std::map<int, std::string> nomiPerId;
  // The controls Tab stops at, in reading order (radio buttons included:
  // the group is entered at its selected one).
  std::vector<HWND> tabulazione;
};

// Registers the picture box class once; a picture box passes its children's
// notifications on to the top window, as the frames do.
void RegistraClassiControlli(HINSTANCE istanza);

ControlliCreati CreaControlli(HWND finestra, HINSTANCE istanza, int dpi, HFONT fuori, HFONT dentro);

}  // namespace cw
