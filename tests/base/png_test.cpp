// The PNG encoder, read back by an outside decoder (ImageMagick's convert):
// the same pixels come back, and a screen-like image is smaller than its
// pixels.

#include "base/png.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace cw {
namespace {

// The image's pixels as convert reads them; "" where it cannot.
std::string Decodifica(const std::string& png) {
#ifdef _WIN32
  (void)png;
  return {};
#else
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("cw-png-" + std::to_string(::getpid()) + ".png");
  std::ofstream(file, std::ios::binary) << png;
  std::string rgb;
  if (FILE* p = ::popen(("convert '" + file.string() + "' -depth 8 rgb:- 2>/dev/null").c_str(), "r")) {
    char b[65536];
    for (size_t n; (n = std::fread(b, 1, sizeof b, p)) > 0;) rgb.append(b, n);
    ::pclose(p);
  }
  std::filesystem::remove(file);
  return rgb;
#endif
}

TEST(CodificaPng, ThePixelsComeBack) {
#ifdef _WIN32
  GTEST_SKIP() << "no decoder here";
#endif
  if (std::system("command -v convert >/dev/null 2>&1") != 0) {
    if (std::getenv("CI")) FAIL() << "convert is not installed";
    GTEST_SKIP() << "convert is not installed";
  }
  struct Caso {
    const char* nome;
    std::uint32_t larghezza, altezza;
    bool rumore;     // every byte a new one: no repeat to find
    bool compresso;  // at most a tenth of its pixels
  };
  const Caso casi[] = {
      {"one pixel", 1, 1, true, false},
      {"a screen: areas of one colour, a box, rows alike", 640, 480, false, true},
      {"noise", 97, 61, true, false},
      {"rows longer than the window of repeats", 12000, 3, false, false},
  };
  for (const Caso& c : casi) {
    std::string rgb;
    std::uint32_t seme = 12345;
    for (std::uint32_t y = 0; y < c.altezza; ++y) {
      for (std::uint32_t x = 0; x < c.larghezza; ++x) {
        seme = seme * 1103515245u + 12345u;
        const bool scatola = x > c.larghezza / 4 && x < c.larghezza / 2 && y > c.altezza / 3 && y < c.altezza / 2;
        for (int k = 0; k < 3; ++k)
          rgb += static_cast<char>(c.rumore ? (seme >> (8 * k + 7)) & 0xFF : scatola ? 0xF0 - 40 * k : (x / 7) % 3);
      }
    }
    const std::string png = CodificaPng(c.larghezza, c.altezza, rgb);
    ASSERT_TRUE(png.starts_with("\x89PNG\r\n\x1a\n")) << c.nome;
    EXPECT_EQ(Decodifica(png), rgb) << c.nome;
    if (c.compresso) {
      EXPECT_LT(png.size(), rgb.size() / 10) << c.nome;
    }
  }
  EXPECT_EQ(CodificaPng(2, 2, std::string(11, '\0')), "");
  EXPECT_EQ(CodificaPng(0, 5, ""), "");
}

}  // namespace
}  // namespace cw
