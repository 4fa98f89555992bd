// The suite's table: every rule its shape obeys is checked here at once, so an
// edit that breaks one of them cannot slip through.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "catalogue/catalogo.h"

namespace cw {
namespace {

const std::string kRadice = "C:\\Progetti VB\\Wexo\\";

bool IniziaCon(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }
bool FinisceCon(const std::string& s, const std::string& f) {
  return s.size() >= f.size() && s.compare(s.size() - f.size(), f.size(), f) == 0;
}

std::vector<std::string> Livelli(const std::string& relativa) {
  std::vector<std::string> out;
  size_t inizio = 0;
  for (;;) {
    const size_t fine = relativa.find('\\', inizio);
    out.push_back(relativa.substr(inizio, fine == std::string::npos ? std::string::npos : fine - inizio));
    if (fine == std::string::npos) return out;
    inizio = fine + 1;
  }
}

// A folder lies inside another when the other is a proper prefix of it that
// ends at a separator ("Vendite\PuntoVendita" inside "Vendite", but
// "QuilBanco" not inside "Quil").
bool DentroA(const std::string& cartella, const std::string& contenitore) {
  return IniziaCon(cartella, contenitore + "\\");
}

struct Righe {
  std::vector<std::string> cartella, relativa, progetto, output, tipo, uscita;
  int n = 0;
};

Righe Leggi(const CatalogoComponenti& c) {
  Righe r;
  for (int i = c.LBound(); i <= c.UBound(); ++i) {
    r.cartella.push_back(c(i, kCartella));
    r.relativa.push_back(IniziaCon(c(i, kCartella), kRadice) ? c(i, kCartella).substr(kRadice.size()) : "");
    r.progetto.push_back(c(i, kFileProgetto));
    r.uscita.push_back(c(i, kCartellaOutput));
    r.tipo.push_back(c(i, kTipo));
    r.output.push_back(c(i, kFileOutput));
    ++r.n;
  }
  return r;
}

// The nearest row whose folder holds row i's folder, or -1.
int ContenitoreVicino(const Righe& r, int i) {
  int migliore = -1;
  for (int j = 0; j < r.n; ++j)
    if (j != i && DentroA(r.relativa[i], r.relativa[j]) &&
        (migliore < 0 || r.relativa[j].size() > r.relativa[migliore].size()))
      migliore = j;
  return migliore;
}

TEST(CatalogoComponenti, LaSuiteRispettaOgniRegola) {
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  ASSERT_EQ(catalogo.LBound(), 0);
  ASSERT_EQ(catalogo.UBound(), 147);
  const Righe r = Leggi(catalogo);
  ASSERT_EQ(r.n, 148);
  const auto u = [](int i) { return static_cast<size_t>(i); };

  // Every cell filled; fixed root and output folder; no trailing or doubled
  // separators; no two rows share a folder or a built file (they all land in
  // one output folder).
  std::set<std::string> cartelle, uscite;
  for (int i = 0; i < r.n; ++i) {
    SCOPED_TRACE("riga " + std::to_string(i));
    for (int col = 0; col <= 4; ++col) EXPECT_FALSE(catalogo(i, col).empty()) << "colonna " << col;
    EXPECT_TRUE(IniziaCon(r.cartella[u(i)], kRadice));
    EXPECT_FALSE(r.relativa[u(i)].empty());
    EXPECT_FALSE(FinisceCon(r.cartella[u(i)], "\\"));
    EXPECT_EQ(r.relativa[u(i)].find("\\\\"), std::string::npos);
    EXPECT_NE(r.relativa[u(i)].front(), '\\');
    EXPECT_EQ(r.uscita[u(i)], "C:\\Orbalis\\Componenti");
    EXPECT_TRUE(cartelle.insert(r.relativa[u(i)]).second) << "cartella ripetuta " << r.relativa[u(i)];
    EXPECT_TRUE(uscite.insert(r.output[u(i)]).second) << "file generato ripetuto " << r.output[u(i)];
    EXPECT_EQ(r.progetto[u(i)].find('\\'), std::string::npos);
    EXPECT_EQ(r.output[u(i)].find('\\'), std::string::npos);
    EXPECT_LE(r.progetto[u(i)].size(), 29u) << r.progetto[u(i)];
  }

  // Kinds and depths.
  std::map<std::string, int> tipi;
  std::map<size_t, int> profondita;
  for (int i = 0; i < r.n; ++i) {
    ++tipi[r.tipo[u(i)]];
    ++profondita[Livelli(r.relativa[u(i)]).size()];
  }
  EXPECT_EQ(tipi, (std::map<std::string, int>{{"app", 8}, {"dll", 85}, {"exe", 55}}));
  EXPECT_EQ(profondita, (std::map<size_t, int>{{1, 81}, {2, 59}, {3, 8}}));

  // Every folder level above a row is a row itself, except one grouping
  // folder directly under the root that holds the 11 rows of the sister
  // family.
  std::map<std::string, int> raggruppamenti;
  for (int i = 0; i < r.n; ++i) {
    const auto livelli = Livelli(r.relativa[u(i)]);
    std::string sopra;
    for (size_t k = 0; k + 1 < livelli.size(); ++k) {
      sopra += (k ? "\\" : "") + livelli[k];
      if (!cartelle.count(sopra)) ++raggruppamenti[sopra];
    }
  }
  ASSERT_EQ(raggruppamenti.size(), 1u);
  const std::string gruppo = raggruppamenti.begin()->first;
  EXPECT_EQ(Livelli(gruppo).size(), 1u);
  EXPECT_EQ(raggruppamenti.begin()->second, 11);

  // Project files: named after the last folder level in 143 rows; the other
  // five are the suite's main server, the sister family's main server and
  // three applications. Row 139, and no other, is "Orbalis.vbp".
  std::vector<int> altri;
  for (int i = 0; i < r.n; ++i) {
    EXPECT_TRUE(FinisceCon(r.progetto[u(i)], ".vbp")) << i;
    if (r.progetto[u(i)] != Livelli(r.relativa[u(i)]).back() + ".vbp") altri.push_back(i);
  }
  ASSERT_EQ(altri.size(), 5u);
  int appAltre = 0, serverSuite = 0, serverGruppo = 0;
  for (int i : altri) {
    if (r.tipo[u(i)] == "app")
      ++appAltre;
    else if (r.tipo[u(i)] == "exe" && DentroA(r.relativa[u(i)], gruppo))
      ++serverGruppo;
    else if (r.tipo[u(i)] == "exe")
      ++serverSuite;
  }
  EXPECT_EQ(appAltre, 3);
  EXPECT_EQ(serverSuite, 1);
  EXPECT_EQ(serverGruppo, 1);
  EXPECT_EQ(std::count(r.progetto.begin(), r.progetto.end(), "Orbalis.vbp"), 1);
  EXPECT_EQ(r.progetto[139], "Orbalis.vbp");

  // Built files: the project file with its ending changed, except three
  // applications whose built file has another name with blanks in it.
  int outputDiversi = 0;
  for (int i = 0; i < r.n; ++i) {
    SCOPED_TRACE("riga " + std::to_string(i));
    const std::string fine = r.tipo[u(i)] == "dll" ? ".dll" : ".exe";
    EXPECT_TRUE(FinisceCon(r.output[u(i)], fine));
    const std::string atteso = r.progetto[u(i)].substr(0, r.progetto[u(i)].size() - 4) + fine;
    if (r.output[u(i)] != atteso) {
      ++outputDiversi;
      EXPECT_EQ(r.tipo[u(i)], "app");
      EXPECT_NE(r.output[u(i)].find(' '), std::string::npos);
    } else {
      EXPECT_EQ(r.output[u(i)].find(' '), std::string::npos);
    }
  }
  EXPECT_EQ(outputDiversi, 3);

  // The three spans of the build order.
  for (int i = 0; i <= 19; ++i) {
    EXPECT_EQ(r.tipo[u(i)], "dll") << i;
    if (i != 4) {
      EXPECT_EQ(Livelli(r.relativa[u(i)]).size(), 1u) << i;
    }
  }
  EXPECT_TRUE(DentroA(r.relativa[4], r.relativa[139]));
  int exe20 = 0, dll20 = 0;
  for (int i = 20; i <= 138; ++i) {
    if (r.tipo[u(i)] == "exe") ++exe20;
    if (r.tipo[u(i)] == "dll") ++dll20;
  }
  EXPECT_EQ(exe20, 55);
  EXPECT_EQ(dll20, 64);
  for (int i = 139; i <= 147; ++i) EXPECT_EQ(r.tipo[u(i)], i == 141 ? "dll" : "app") << i;
  EXPECT_EQ(r.tipo[0], "dll");

  // Servers: 53 of 55 hold "dll" rows; four hold a second server, and a
  // second server's "dll" lies exactly one level deeper.
  int serverConDll = 0, serverConServer = 0;
  for (int s = 0; s < r.n; ++s) {
    if (r.tipo[u(s)] != "exe") continue;
    bool haDll = false, haServer = false;
    for (int i = 0; i < r.n; ++i) {
      if (!DentroA(r.relativa[u(i)], r.relativa[u(s)])) continue;
      if (r.tipo[u(i)] == "dll") haDll = true;
      if (r.tipo[u(i)] == "exe") haServer = true;
    }
    serverConDll += haDll;
    serverConServer += haServer;
  }
  EXPECT_EQ(serverConDll, 53);
  EXPECT_EQ(serverConServer, 4);
  for (int i = 0; i < r.n; ++i) {
    const int c = ContenitoreVicino(r, i);
    if (c < 0 || r.tipo[u(c)] != "exe") continue;
    const int sopra = ContenitoreVicino(r, c);
    if (sopra >= 0 && r.tipo[u(sopra)] == "exe") {
      EXPECT_EQ(Livelli(r.relativa[u(i)]).size(), Livelli(r.relativa[u(c)]).size() + 1) << i;
    }
  }

  // Nesting: whatever lies inside a row's folder is built before that row;
  // 53 rows right before their nearest container, 5 two rows before with a
  // row of the same container between, and rows 4 and 22 far earlier.
  int annidate = 0, subito = 0, dueprima = 0;
  std::vector<int> lontane;
  for (int i = 0; i < r.n; ++i) {
    for (int j = 0; j < r.n; ++j)
      if (j != i && DentroA(r.relativa[u(i)], r.relativa[u(j)])) {
        EXPECT_LT(i, j) << r.relativa[u(i)];
      }
    const int c = ContenitoreVicino(r, i);
    if (c < 0) continue;
    ++annidate;
    if (c == i + 1) {
      ++subito;
    } else if (c == i + 2) {
      ++dueprima;
      EXPECT_EQ(ContenitoreVicino(r, i + 1), c) << i;
    } else {
      lontane.push_back(i);
    }
  }
  EXPECT_EQ(annidate, 60);
  EXPECT_EQ(subito, 53);
  EXPECT_EQ(dueprima, 5);
  EXPECT_EQ(lontane, (std::vector<int>{4, 22}));
  EXPECT_EQ(ContenitoreVicino(r, 4), 139);
  EXPECT_EQ(ContenitoreVicino(r, 22), 136);
  EXPECT_EQ(r.tipo[136], "exe");
  EXPECT_EQ(r.tipo[138], "exe");
  EXPECT_EQ(ContenitoreVicino(r, 136), 138);
  EXPECT_EQ(ContenitoreVicino(r, 141), 142);
  EXPECT_EQ(r.tipo[142], "app");

  // The grouping folder holds four servers and seven "dll" rows.
  int gruppoExe = 0, gruppoDll = 0;
  for (int i = 0; i < r.n; ++i)
    if (DentroA(r.relativa[u(i)], gruppo)) {
      if (r.tipo[u(i)] == "exe") ++gruppoExe;
      if (r.tipo[u(i)] == "dll") ++gruppoDll;
    }
  EXPECT_EQ(gruppoExe, 4);
  EXPECT_EQ(gruppoDll, 7);
}

TEST(CatalogoComponenti, CaricaCatalogoControllaIlLimiteDellaTabella) {
  // A table one row short: the last store is out of bounds and raises error 9.
  CatalogoComponenti corta(std::vector<RigaCatalogo>(kRigheCatalogo - 1));
  try {
    CaricaCatalogo(corta);
    FAIL() << "nessun errore";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kIndiceFuoriIntervallo);
  }
  // Everything before the failing row is stored.
  EXPECT_TRUE(IniziaCon(corta(146, kCartella), kRadice));
  EXPECT_FALSE(corta(146, kFileOutput).empty());
}

}  // namespace
}  // namespace cw
