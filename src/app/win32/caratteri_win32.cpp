#include "app/win32/caratteri_win32.h"

#include "platform/windows/testo_wide_win32.h"

namespace cw {

int DpiSchermo() {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

namespace {

HFONT Crea(const std::string& famiglia, int dpi, BYTE passo) {
  // 8.25 pt as a character height: -11 pixels at 96 dpi.
  const int altezza = -MulDiv(825, dpi, 7200);
  return CreateFontW(altezza, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, passo, Wide(famiglia).c_str());
}

}  // namespace

HFONT CreaCarattere(const std::string& famiglia, int dpi) { return Crea(famiglia, dpi, DEFAULT_PITCH | FF_DONTCARE); }

bool PassoFisso(HFONT carattere) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ prima = SelectObject(dc, carattere);
  TEXTMETRICW tm{};
  const bool letto = GetTextMetricsW(dc, &tm) != 0;
  SelectObject(dc, prima);
  ReleaseDC(nullptr, dc);
  // The bit is set for a variable pitch, whatever its name says.
  return letto && (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

HFONT CreaCarattereFisso(const std::string& famiglia, int dpi) {
  // A family the system lacks is replaced by the font mapper's choice, which
  // for a plain request is a proportional font; asking for a fixed pitch
  // makes it choose among the fixed ones, and the result is checked anyway.
  for (const std::string& f : {famiglia, std::string("Courier")}) {
    HFONT carattere = Crea(f, dpi, FIXED_PITCH | FF_MODERN);
    if (carattere && PassoFisso(carattere)) return carattere;
    if (carattere) DeleteObject(carattere);
  }
  if (HGDIOBJ sistema = GetStockObject(ANSI_FIXED_FONT)) return static_cast<HFONT>(sistema);
  return static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
}

}  // namespace cw
