#pragma once
// The message boxes: the style numbers of the original platform are the
// MessageBox flags themselves (buttons, icon, default button), and so are
// the answers.

#include <windows.h>

#include <string>

namespace cw {

// A modal box owned by finestra; the answer (IDOK ... IDNO). The owner's
// Enabled state is what it was before, whatever the box did to it.
int MostraMessaggio(HWND finestra, const std::string& testo, int stile, const std::string& titolo);

// The MessageBox flags of a style: buttons, icon and default button only.
UINT FlagMessaggio(int stile);

}  // namespace cw
