#include "projectfile/grafo_riferimenti.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cw {
namespace {

// Four rows in one output folder, as the program's catalogue has them.
CatalogoComponenti Catalogo() {
  std::vector<RigaCatalogo> righe;
  for (const char* nome : {"Base", "Dati", "Vista", "Banco"})
    righe.push_back({std::string("C:\\Progetti VB\\Wexo\\") + nome, std::string(nome) + ".vbp",
                     "C:\\Orbalis\\Componenti", "dll", std::string(nome) + ".dll"});
  return CatalogoComponenti(righe);
}

std::string Rif(const std::string& file) {
  return "Reference=*\\G{00000000-0000-0000-0000-000000000001}#1.0#0#" + file + "#Libreria #1\r\n";
}

TEST(GrafoRiferimenti, TheRowsEachRowNeeds) {
  const struct Caso {
    const char* nome;
    std::vector<std::string> progetti;  // one per row; ExeName32 added
    std::vector<std::vector<int>> richieste;
    std::vector<RigaSuccessiva> successive;
    std::vector<std::vector<int>> cicli;
  } casi[] = {
      {"letter case and separators as Windows reads them",
       {"", Rif("c:\\orbalis\\COMPONENTI\\base.DLL"),
        Rif("C:\\Orbalis\\Componenti\\DATI.dll") + Rif("C:/Orbalis/Componenti/Base.dll"), ""},
       {{}, {0}, {0, 1}, {}},
       {},
       {}},
      {"relative paths, project references, a bare control library; outside files ignored",
       {"", Rif("..\\..\\..\\Orbalis\\.\\Componenti\\Base.dll"),
        "Reference=*\\A..\\Dati\\DATI.VBP\r\nObject={X}#1.0#0; base.dll\r\n",
        Rif("C:\\Windows\\System32\\stdole2.tlb") + Rif("D:\\Orbalis\\Componenti\\Base.dll") +
            "Object={X}#1.0#0; MSCOMCTL.OCX\r\n"},
       {{}, {0}, {0, 1}, {}},
       {},
       {}},
      {"only the project's own keys count",
       {"", "[MS Transaction Server]\r\n" + Rif("C:\\Orbalis\\Componenti\\Base.dll"),
        "reference=*\\G{0}#1.0#0#C:\\Orbalis\\Componenti\\Base.dll#x\r\n", ""},
       {{}, {}, {}, {}},
       {},
       {}},
      {"later rows, warned of; an accented name in the other case",
       {Rif("C:\\Orbalis\\Componenti\\Vista.dll"), Rif("C:\\ORBALIS\\COMPONENTI\\QUALIT\xC0.DLL"), "",
        Rif("C:\\Orbalis\\Componenti\\Vista.dll")},
       {{2}, {3}, {}, {2}},
       {{0, 2}, {1, 3}},
       {}},
      {"a cycle through three rows and one row needing itself",
       {Rif("C:\\Orbalis\\Componenti\\Vista.dll"), Rif("C:\\Orbalis\\Componenti\\Base.dll"),
        Rif("C:\\Orbalis\\Componenti\\Dati.dll"), Rif("C:\\Orbalis\\Componenti\\qualit\xE0.dll")},
       {{2}, {0}, {1}, {3}},
       {{0, 2}},
       {{0, 1, 2}, {3}}},
  };
  const CatalogoComponenti catalogo = Catalogo();
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    std::vector<RiferimentiProgetto> letti;
    for (int r = 0; r < 4; ++r) {
      // The output's name in the project file (Windows-1252), not the catalogue's, counts.
      const std::string nome = r == 3 ? "Qualit\xE0.dll" : catalogo(r, kFileOutput);
      letti.push_back(LeggiRiferimenti(c.progetti[static_cast<size_t>(r)] + "ExeName32=\"" + nome + "\"\r\n"));
    }
    const GrafoRiferimenti g = CostruisciGrafo(catalogo, letti);
    EXPECT_EQ(g.richieste, c.richieste);
    EXPECT_EQ(g.successive, c.successive);
    EXPECT_EQ(g.cicli, c.cicli);
  }
}

TEST(GrafoRiferimenti, RemainingPathAndOrder) {
  // 0 <- 1 <- 3, 0 <- 2: row 0 carries the chain of three.
  GrafoRiferimenti g;
  g.richieste = {{}, {0}, {0}, {1}};
  EXPECT_EQ(PercorsoRimanente(g), (std::vector<double>{3, 2, 1, 1}));
  EXPECT_EQ(PercorsoRimanente(g, {1, 1, 5, 1}), (std::vector<double>{6, 2, 5, 1}));
  const struct {
    std::vector<int> ordine;
    std::optional<RigaSuccessiva> violazione;
  } ordini[] = {
      {{0, 1, 2, 3}, std::nullopt},
      {{0, 2, 1, 3}, std::nullopt},
      {{1, 3}, std::nullopt},  // resumed: row 0 built before
      {{0, 3, 1, 2}, RigaSuccessiva{3, 1}},
  };
  for (const auto& o : ordini) EXPECT_EQ(PrimaViolazione(g, o.ordine), o.violazione);
  g.cicli = {{0}};
  EXPECT_TRUE(PercorsoRimanente(g).empty());
}

}  // namespace
}  // namespace cw
