#pragma once
// The text of "Anteprima modifiche" in a window of its own beside the form,
// not modal: read-only, unwrapped, in the report font, with a Chiudi button.
// Shown again, the one window gets the new text.

#include <windows.h>

#include <string>

namespace cw {

// testo: UTF-8, lines ending at "\n". Returns the preview window.
HWND MostraAnteprima(HWND proprietario, const std::string& testo);

}  // namespace cw
