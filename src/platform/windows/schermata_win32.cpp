#include "platform/windows/schermata_win32.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/png.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {

bool SalvaSchermataGdi(const std::wstring& file) {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int larghezza = GetSystemMetrics(SM_CXVIRTUALSCREEN), altezza = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (larghezza <= 0 || altezza <= 0) return false;
  HDC schermo = GetDC(nullptr);
  if (!schermo) return false;
  HDC memoria = CreateCompatibleDC(schermo);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = larghezza;
  info.bmiHeader.biHeight = -altezza;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bit = nullptr;
  HBITMAP immagine = memoria ? CreateDIBSection(memoria, &info, DIB_RGB_COLORS, &bit, nullptr, 0) : nullptr;
  std::string rgb;
  if (immagine) {
    HGDIOBJ prima = SelectObject(memoria, immagine);
    if (BitBlt(memoria, 0, 0, larghezza, altezza, schermo, x, y, SRCCOPY | CAPTUREBLT)) {
      GdiFlush();
      const auto* pixel = static_cast<const unsigned char*>(bit);  // blue, green, red, unused
      const size_t n = static_cast<size_t>(larghezza) * static_cast<size_t>(altezza);
      rgb.reserve(n * 3);
      for (size_t i = 0; i < n; ++i) {
        rgb += static_cast<char>(pixel[i * 4 + 2]);
        rgb += static_cast<char>(pixel[i * 4 + 1]);
        rgb += static_cast<char>(pixel[i * 4]);
      }
    }
    SelectObject(memoria, prima);
    DeleteObject(immagine);
  }
  if (memoria) DeleteDC(memoria);
  ReleaseDC(nullptr, schermo);
  if (rgb.empty()) return false;
  const std::string png = CodificaPng(static_cast<std::uint32_t>(larghezza), static_cast<std::uint32_t>(altezza), rgb);
  std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
  out.write(png.data(), static_cast<std::streamsize>(png.size()));
  out.close();
  return !png.empty() && static_cast<bool>(out);
}

bool SchermoWin32::SalvaSchermata(const std::string& percorso) { return SalvaSchermataGdi(Wide(percorso)); }

}  // namespace cw
