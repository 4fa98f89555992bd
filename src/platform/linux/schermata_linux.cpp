#include "platform/linux/schermata_linux.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <cstdlib>
#include <fstream>
#include <string>

#include "base/png.h"

namespace cw {
namespace {

// A channel of a pixel as 8 bits, from its mask.
unsigned char Canale(unsigned long pixel, unsigned long maschera) {
  if (maschera == 0) return 0;
  const int spostamento = std::countr_zero(maschera);
  const int bit = std::popcount(maschera);
  const unsigned long valore = (pixel & maschera) >> spostamento;
  return static_cast<unsigned char>(bit >= 8 ? valore >> (bit - 8) : (valore * 255) / ((1ul << bit) - 1));
}

// An X error (a display that refuses the image) must not end the program, as
// Xlib's default handler would: the screenshot is only left out.
int IgnoraErroreX(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool SalvaSchermataX11(const std::filesystem::path& file) {
  const char* schermo = std::getenv("DISPLAY");
  if (!schermo || !*schermo) return false;
  Display* d = XOpenDisplay(schermo);
  if (!d) return false;
  const Window radice = DefaultRootWindow(d);
  XWindowAttributes attributi{};
  XImage* immagine = nullptr;
  XSync(d, False);
  auto* const precedente = XSetErrorHandler(IgnoraErroreX);
  if (XGetWindowAttributes(d, radice, &attributi) && attributi.width > 0 && attributi.height > 0)
    immagine = XGetImage(d, radice, 0, 0, static_cast<unsigned>(attributi.width),
                         static_cast<unsigned>(attributi.height), AllPlanes, ZPixmap);
  XSync(d, False);
  XSetErrorHandler(precedente);
  std::string rgb;
  if (immagine) {
    rgb.reserve(static_cast<size_t>(attributi.width) * static_cast<size_t>(attributi.height) * 3);
    for (int y = 0; y < attributi.height; ++y) {
      for (int x = 0; x < attributi.width; ++x) {
        const unsigned long p = XGetPixel(immagine, x, y);
        rgb += static_cast<char>(Canale(p, immagine->red_mask));
        rgb += static_cast<char>(Canale(p, immagine->green_mask));
        rgb += static_cast<char>(Canale(p, immagine->blue_mask));
      }
    }
    XDestroyImage(immagine);
  }
  XCloseDisplay(d);
  if (rgb.empty()) return false;
  const std::string png =
      CodificaPng(static_cast<std::uint32_t>(attributi.width), static_cast<std::uint32_t>(attributi.height), rgb);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(png.data(), static_cast<std::streamsize>(png.size()));
  out.close();
  return !png.empty() && static_cast<bool>(out);
}

}  // namespace cw
