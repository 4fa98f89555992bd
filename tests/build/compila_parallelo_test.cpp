#include "build/compila_parallelo.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/compila_finti.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::RigaSuite;
using test::SuiteCompilazione;
using test::UiRegistrata;

const std::string kErrori = "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt";
const std::string kOltre = "Compilati in parallelo oltre l'errore: ";

// Several builds at once: rows start in an order the graph allows, the ones
// with most hanging on them first, never two sharing an OCX; the log, the
// error file and the failed row are those of one build at a time.
TEST(CompilaInParallelo, TheSequentialWalksLogInAnOrderTheGraphAllows) {
  const std::vector<RigaSuite> righe = {{"A"}, {"B"}, {"C"}, {"D"}, {"E", "dll-skipcompile"}, {"F"}};
  const struct Caso {
    const char* nome;
    int paralleli;
    std::vector<std::vector<int>> richieste;
    std::vector<std::vector<std::string>> ocx;
    std::set<std::string> fallite;
    int primaRiga;
    std::string avvii;  // the rows in the order they started
    std::string oltre;  // the error file's last line past a failure
  } casi[] = {
      {"no references: catalogue order", 3, {{}, {}, {}, {}, {}, {}}, {}, {}, -1, "ABCDF", ""},
      {"the longest chain first", 2, {{}, {}, {1}, {2}, {}, {}}, {}, {}, -1, "BACFD", ""},
      {"a row waits for what it needs, even a later row", 4, {{3}, {}, {}, {}, {}, {0}}, {}, {}, -1, "DBCAF", ""},
      {"two rows of one OCX never together",
       4,
       {{}, {}, {}, {}, {}, {}},
       {{"x.ocx"}, {"x.ocx"}, {}, {}, {}, {}},
       {},
       -1,
       "ACDFB",
       ""},
      {"a failure: nothing after it starts, what ran is named",
       2,
       {{}, {}, {}, {}, {}, {}},
       {},
       {"B"},
       -1,
       "ABC",
       kOltre + "C.VBP."},
      {"a failure lets the rows before it build", 2, {{1}, {}, {}, {}, {}, {}}, {}, {"C"}, -1, "BCA", ""},
      {"a resumed run counts the rows before it as built", 4, {{}, {}, {0}, {1}, {}, {}}, {}, {}, 2, "CDF", ""},
      {"one at a time", 1, {{}, {}, {1}, {}, {}, {}}, {}, {}, -1, "BACDF", ""},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    PianoCompilazione piano{c.paralleli, c.richieste, {}, c.ocx};
    piano.ocx.resize(righe.size());
    // How much hangs on each row: itself and, transitively, who needs it.
    piano.priorita.assign(righe.size(), 1);
    for (int giro = 0; giro < 6; ++giro)
      for (size_t r = 0; r < righe.size(); ++r)
        for (const int n : c.richieste[r])
          piano.priorita[static_cast<size_t>(n)] =
              std::max(piano.priorita[static_cast<size_t>(n)], 1 + piano.priorita[r]);

    SuiteCompilazione uno(righe), molti(righe);
    for (SuiteCompilazione* s : {&uno, &molti})
      for (const std::string& f : c.fallite) s->fallite.insert(s->catalogo.FileProgettoCompleto(f[0] - 'A'));
    UiRegistrata uiUno, uiMolti;
    std::vector<RigaCompilata> compilateUno, compilateMolti;
    const auto fineUno = CompilaProgetti(uno.fso, uno.catalogo, uiUno, uno.processi, c.primaRiga, &compilateUno);
    EXPECT_EQ(
        CompilaInParallelo(molti.fso, molti.catalogo, uiMolti, molti.processi, piano, c.primaRiga, &compilateMolti),
        fineUno);
    EXPECT_EQ(uiMolti.log, uiUno.log);
    ASSERT_EQ(compilateMolti.size(), compilateUno.size());
    for (size_t i = 0; i < compilateUno.size(); ++i) EXPECT_EQ(compilateMolti[i].rapporto, compilateUno[i].rapporto);
    std::string errori = molti.prefisso.Leggi(kErrori);
    if (!c.oltre.empty()) {
      const std::string riga = c.oltre + "\r\n";
      ASSERT_TRUE(errori.ends_with(riga)) << errori;
      errori.resize(errori.size() - riga.size());
    }
    EXPECT_EQ(errori, uno.prefisso.Leggi(kErrori));

    std::string avvii;
    for (const std::string& p : molti.costruiti) avvii += p[p.size() - 5];  // "...\X.vbp"
    EXPECT_EQ(avvii, c.avvii);
    // What ran at once: the n-th start until it was let go of.
    std::set<std::size_t> aperti;
    std::size_t avviati = 0;
    for (const std::string& e : molti.processi.eventi) {
      if (e.starts_with("avvia:")) {
        aperti.insert(++avviati);
        EXPECT_LE(aperti.size(), static_cast<std::size_t>(c.paralleli));
        const auto& suoi = piano.ocx[static_cast<size_t>(avvii[avviati - 1] - 'A')];
        for (const std::size_t altro : aperti) {
          if (altro == avviati) continue;
          const auto& altri = piano.ocx[static_cast<size_t>(avvii[altro - 1] - 'A')];
          for (const std::string& o : suoi) {
            EXPECT_EQ(std::count(altri.begin(), altri.end(), o), 0) << e;
          }
        }
      } else if (e.starts_with("rilascia:")) {
        aperti.erase(std::stoul(e.substr(9)));
      }
    }
    // No report of its own is left beside the error file.
    for (int r = 0; r < 6; ++r) EXPECT_FALSE(molti.prefisso.Esiste(kErrori + "." + std::to_string(r))) << r;
  }
}

TEST(LeggiParalleli, DigitsFromOneToSixtyFour) {
  for (const auto& [testo, atteso] : std::vector<std::pair<std::string, std::optional<int>>>{{"1", 1},
                                                                                             {"4", 4},
                                                                                             {"64", 64},
                                                                                             {"0", std::nullopt},
                                                                                             {"65", std::nullopt},
                                                                                             {"", std::nullopt},
                                                                                             {"-1", std::nullopt},
                                                                                             {" 2", std::nullopt},
                                                                                             {"2.0", std::nullopt},
                                                                                             {"004", std::nullopt}})
    EXPECT_EQ(LeggiParalleli(testo), atteso) << testo;
}

}  // namespace
}  // namespace cw
