#include "app/win32/pulsante_win32.h"

#include <string>

namespace cw {

namespace {

constexpr int kMargine = 3;       // bevel and a pixel of air
constexpr int kMargineTesto = 2;  // the caption may reach the bevel's inner line

}  // namespace

void DisegnaPulsante(const DRAWITEMSTRUCT& d) {
  RECT r = d.rcItem;
  const bool premuto = (d.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(d.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (premuto ? DFCS_PUSHED : 0u));

  std::wstring testo(static_cast<size_t>(GetWindowTextLengthW(d.hwndItem)) + 1, L'\0');
  testo.resize(static_cast<size_t>(GetWindowTextW(d.hwndItem, testo.data(), static_cast<int>(testo.size()))));
  RECT t = r;
  InflateRect(&t, -kMargineTesto, -kMargine);
  if (premuto) OffsetRect(&t, 1, 1);
  HGDIOBJ prima = SelectObject(d.hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(d.hwndItem, WM_GETFONT, 0, 0)));
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor((d.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  const UINT formato = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
  RECT misura = t;
  DrawTextW(d.hDC, testo.c_str(), static_cast<int>(testo.size()), &misura, formato | DT_CALCRECT);
  const LONG alto = misura.bottom - misura.top;
  if (alto < t.bottom - t.top) t.top += (t.bottom - t.top - alto) / 2;
  DrawTextW(d.hDC, testo.c_str(), static_cast<int>(testo.size()), &t, formato);
  SelectObject(d.hDC, prima);
  if (d.itemState & ODS_FOCUS) {
    RECT f = r;
    InflateRect(&f, -(kMargine + 1), -(kMargine + 1));
    DrawFocusRect(d.hDC, &f);
  }
}

}  // namespace cw
