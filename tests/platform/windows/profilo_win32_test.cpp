#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "platform/windows/cartella_prova.h"
#include "platform/windows/profilo_win32.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

using prova::CartellaProva;

std::string Leggi(const std::string& file, const char* sezione, const char* chiave, const char* predefinito,
                  std::size_t n = 255) {
  std::string buffer(n, ' ');
  const std::size_t k = ProfiloWin32().GetPrivateProfileStringA(file, sezione, chiave, predefinito, buffer.data(), n);
  return buffer.substr(0, k);
}

std::string Contenuto(const std::string& file) {
  std::ifstream in(std::filesystem::path(Wide(file)), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// What is written reads back through the system's own reader.
TEST(ProfiloWin32, IlValoreScrittoSiRilegge) {
  CartellaProva dir;
  const std::string ini = dir / "\xc3\xa8WexoUty.ini";  // a name outside ASCII still in the ANSI code page
  struct Caso {
    std::string valore, letto;
  };
  const std::vector<Caso> casi = {
      {"1", "1"},
      {"", ""},
      {"Wexo = S.p.A.", "Wexo = S.p.A."},
      {"Societ\xe0 \x80", "Societ\xe0 \x80"},  // Windows-1252 bytes as they are
      {std::string(300, 'x'), std::string(253, 'x')},
  };
  for (const auto& c : casi) {
    ASSERT_TRUE(ProfiloWin32().WritePrivateProfileStringA(ini, "Versione", "Principale", c.valore));
    EXPECT_EQ(Leggi(ini, "VERSIONE", "principale", "def", 254), c.letto) << c.valore.substr(0, 20);
  }
  EXPECT_EQ(Leggi(ini, "Versione", "Manca", "def  "), "def");
  EXPECT_EQ(Leggi(dir / "nessuno.ini", "Versione", "Principale", "1"), "1");
  EXPECT_EQ(ProfiloWin32().Leggi(ini)->GetString("Versione", "Principale", "", nullptr, 0), 0u);
  char uno[8];
  EXPECT_EQ(ProfiloWin32().Leggi(ini)->GetString("Versione", "Principale", "", uno, sizeof uno), 7u);
}

// Arguments the system would write raw, breaking the file, are refused and
// nothing is written; a file that cannot be written refuses too.
TEST(ProfiloWin32, ArgomentiCheGuasterebberoIlFileRifiutati) {
  CartellaProva dir;
  const std::string ini = dir / "p.ini";
  ASSERT_TRUE(ProfiloWin32().WritePrivateProfileStringA(ini, "S", "K", "v"));
  const std::string prima = Contenuto(ini);
  struct Caso {
    const char *sezione, *chiave, *valore;
  };
  const Caso casi[] = {
      {"S", "K", "a\r\nb"}, {"S", "K", "a\nK2=b"}, {"S]x", "K", "v"}, {"S", "K=x", "v"},
      {"S", ";K", "v"},     {"S", "[K", "v"},      {"\tS", "K", "v"}, {"S", "K\t", "v"},
  };
  for (const auto& c : casi)
    EXPECT_FALSE(ProfiloWin32().WritePrivateProfileStringA(ini, c.sezione, c.chiave, c.valore))
        << c.sezione << c.chiave;
  EXPECT_EQ(Contenuto(ini), prima);
  SetFileAttributesW(Wide(ini).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(ProfiloWin32().WritePrivateProfileStringA(ini, "S", "K", "nuovo"));
  EXPECT_EQ(Leggi(ini, "S", "K", ""), "v");
  EXPECT_FALSE(ProfiloWin32().WritePrivateProfileStringA(dir / "manca\\p.ini", "S", "K", "v"));
}

TEST(ProfiloWin32, CancellaChiave) {
  CartellaProva dir;
  const std::string ini = dir / "p.ini";
  ASSERT_TRUE(ProfiloWin32().WritePrivateProfileStringA(ini, "S", "A", "1"));
  ASSERT_TRUE(ProfiloWin32().WritePrivateProfileStringA(ini, "S", "B", "2"));
  EXPECT_TRUE(ProfiloWin32().CancellaChiaveProfilo(ini, "S", "A"));
  EXPECT_EQ(Leggi(ini, "S", "A", "via"), "via");
  EXPECT_EQ(Leggi(ini, "S", "B", ""), "2");
  EXPECT_TRUE(ProfiloWin32().CancellaChiaveProfilo(ini, "S", "A"));
  // Nothing to remove from a missing file, and no file made for it.
  EXPECT_TRUE(ProfiloWin32().CancellaChiaveProfilo(dir / "nessuno.ini", "S", "A"));
  EXPECT_EQ(GetFileAttributesW(Wide(dir / "nessuno.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace cw
