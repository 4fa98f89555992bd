#include "app/win32/messaggi_win32.h"

#include "platform/windows/testo_wide_win32.h"

namespace cw {

UINT FlagMessaggio(int stile) { return static_cast<UINT>(stile) & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK); }

int MostraMessaggio(HWND finestra, const std::string& testo, int stile, const std::string& titolo) {
  // MessageBox enables its owner when it closes: a window the compile walk
  // has turned off must stay off.
  const bool abilitata = finestra && IsWindowEnabled(finestra);
  const int risposta =
      MessageBoxW(finestra, Wide(testo).c_str(), Wide(titolo).c_str(), FlagMessaggio(stile) | MB_APPLMODAL);
  if (finestra) EnableWindow(finestra, abilitata);
  return risposta;
}

}  // namespace cw
