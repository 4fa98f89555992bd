#include "app/win32/caratteri_win32.h"

#include "platform/windows/testo_wide.h"

namespace cw {

int DpiSchermo() {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

HFONT CreaCarattere(const std::string& famiglia, int dpi) {
  // 8.25 pt as a character height: -11 pixels at 96 dpi.
  const int altezza = -MulDiv(825, dpi, 7200);
  return CreateFontW(altezza, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(famiglia).c_str());
}

}  // namespace cw
