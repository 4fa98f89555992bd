#include "tools/sovrapposizioni.h"

#include <gtest/gtest.h>

#include "tools/pe_prova.h"

namespace cw {
namespace {

using test::Pe;

TEST(Sovrapposizioni, AddressTexts) {
  const std::pair<const char*, std::optional<std::uint32_t>> casi[] = {
      {"&H11000000", 0x11000000}, {"&h1100abcd", 0x1100ABCD},    {"&H11000000&", 0x11000000}, {"&H0", 0},
      {"&HFFFFFFFF", 0xFFFFFFFF}, {"&H100000000", std::nullopt}, {"285212672", std::nullopt}, {"&H", std::nullopt},
      {"&H11 ", std::nullopt},    {" &H11", std::nullopt},       {"", std::nullopt},
  };
  for (const auto& [testo, atteso] : casi) EXPECT_EQ(LeggiIndirizzoVb(testo), atteso) << testo;
  EXPECT_EQ(ScriviIndirizzoVb(0x1100ABCD), "&H1100ABCD");
}

TEST(Sovrapposizioni, ImageSizeFromThePeHeader) {
  const std::pair<std::string, std::optional<std::uint32_t>> casi[] = {
      {Pe(0x23000), 0x23000},
      {Pe(0x23000, 0x20B), 0x23000},
      {Pe(0x23000, 0x107), std::nullopt},
      {"\x7F"
       "ELF" +
           std::string(200, '\0'),
       std::nullopt},
      {Pe(0x1000).substr(0, 0x80 + 40), std::nullopt},                  // cut inside the optional header
      {Pe(0x1000).replace(0x3C, 4, "\x00\xFF\xFF\xFF"), std::nullopt},  // header offset past the end
      {"MZ", std::nullopt},
  };
  for (const auto& [byte, atteso] : casi) EXPECT_EQ(DimensioneImmaginePe(byte), atteso);
}

DllDaVerificare Dll(std::optional<std::uint32_t> indirizzo, std::optional<std::uint32_t> dimensione = {}) {
  DllDaVerificare d;
  d.indirizzo = indirizzo;
  d.dimensione = dimensione;
  d.compilato = dimensione.has_value();
  return d;
}

TEST(Sovrapposizioni, OverlapsAndProposal) {
  struct Caso {
    const char* nome;
    std::vector<DllDaVerificare> dll;
    std::vector<std::pair<int, int>> coppie;
    std::vector<std::pair<int, std::uint32_t>> proposta;
  };
  const Caso casi[] = {
      {"apart", {Dll(0x11000000), Dll(0x11010000)}, {}, {}},
      {"size rounds up to 64 KB", {Dll(0x11000000, 0x10001), Dll(0x11010000)}, {{0, 1}}, {{1, 0x11020000}}},
      {"equal addresses: the later moves past both",
       {Dll(0x11000000), Dll(0x11010000, 0x20000), Dll(0x11010000)},
       {{1, 2}},
       {{2, 0x11030000}}},
      {"the first of a chain keeps its place",
       {Dll(0x12000000, 0x30000), Dll(0x12020000), Dll(0x12010000)},
       {{0, 1}, {0, 2}},
       {{1, 0x11000000}, {2, 0x11010000}}},
      {"no address gets the lowest free place", {Dll(0x11000000), Dll(std::nullopt)}, {}, {{1, 0x11010000}}},
      {"an address outside the range that overlaps nothing stays", {Dll(0x70000000)}, {}, {}},
  };
  for (const Caso& c : casi) {
    const AnalisiIndirizzi a = AnalizzaIndirizzi(c.dll);
    std::vector<std::pair<int, int>> coppie;
    for (const auto& s : a.sovrapposizioni) coppie.emplace_back(s.prima, s.seconda);
    std::vector<std::pair<int, std::uint32_t>> proposta;
    for (const auto& p : a.proposta) proposta.emplace_back(p.indice, p.indirizzo);
    EXPECT_EQ(coppie, c.coppie) << c.nome;
    EXPECT_EQ(proposta, c.proposta) << c.nome;
    EXPECT_FALSE(a.spazioEsaurito) << c.nome;
  }
}

// An address the loader cannot map an image at (0, off a 64 KB boundary,
// reaching past 2 GB) overlaps nothing and needs an address, like none.
TEST(Sovrapposizioni, AnAddressTheLoaderCannotUseIsInvalid) {
  const struct {
    const char* nome;
    DllDaVerificare dll;
    bool valido;
  } indirizzi[] = {
      {"zero", Dll(0), false},
      {"all ones", Dll(0xFFFFFFFF), false},
      {"off the boundary", Dll(0x11000001), false},
      {"at 2 GB", Dll(0x80000000), false},
      {"reaching past 2 GB", Dll(0x7FFF0000, 0x10001), false},
      {"ending at 2 GB", Dll(0x7FFF0000, 0x10000), true},
      {"the first block above 0", Dll(0x10000), true},
      {"none", Dll(std::nullopt), false},
  };
  for (const auto& c : indirizzi) EXPECT_EQ(c.dll.IndirizzoValido(), c.valido) << c.nome;

  const AnalisiIndirizzi a =
      AnalizzaIndirizzi({Dll(0x11000000, 0x20000), Dll(0), Dll(0x11010001), Dll(0xFFFFFFFF), Dll(std::nullopt)});
  EXPECT_TRUE(a.sovrapposizioni.empty());  // 0x11010001 lies inside the first, yet is no range
  EXPECT_EQ(a.nonValidi, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(a.senzaIndirizzo, (std::vector<int>{4}));
  std::vector<std::pair<int, std::uint32_t>> proposta;
  for (const auto& p : a.proposta) proposta.emplace_back(p.indice, p.indirizzo);
  EXPECT_EQ(proposta, (std::vector<std::pair<int, std::uint32_t>>{
                          {1, 0x11020000}, {2, 0x11030000}, {3, 0x11040000}, {4, 0x11050000}}));
}

TEST(Sovrapposizioni, AFullRangeIsReportedNotOverrun) {
  std::vector<DllDaVerificare> dll = {Dll(kPrimoIndirizzoProposto, kFineIndirizziProposti - kPrimoIndirizzoProposto),
                                      Dll(std::nullopt)};
  const AnalisiIndirizzi a = AnalizzaIndirizzi(dll);
  EXPECT_TRUE(a.proposta.empty());
  EXPECT_TRUE(a.spazioEsaurito);
}

}  // namespace
}  // namespace cw
