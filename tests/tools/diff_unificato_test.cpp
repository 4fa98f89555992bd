#include "tools/diff_unificato.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

struct CasoDiff {
  const char* nome;
  std::vector<std::string> prima, dopo;
  std::string atteso;  // after the two header lines
  int cambiate;
};

TEST(DiffUnificato, HunksWithOneLineOfContext) {
  const std::vector<std::string> dieci = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
  auto con = [&](std::vector<std::pair<int, std::string>> cambi) {
    auto v = dieci;
    for (auto& [i, t] : cambi) v[static_cast<size_t>(i)] = t;
    return v;
  };
  const CasoDiff casi[] = {
      {"unchanged", dieci, dieci, "", 0},
      {"first line", dieci, con({{0, "A"}}), "@@ -1,2 +1,2 @@\n-a\n+A\n b\n", 1},
      {"last line", dieci, con({{9, "J"}}), "@@ -9,2 +9,2 @@\n i\n-j\n+J\n", 1},
      {"two apart join", dieci, con({{2, "C"}, {4, "E"}}), "@@ -2,5 +2,5 @@\n b\n-c\n+C\n d\n-e\n+E\n f\n", 2},
      {"contexts touching join", dieci, con({{2, "C"}, {5, "F"}}), "@@ -2,6 +2,6 @@\n b\n-c\n+C\n d\n e\n-f\n+F\n g\n",
       2},
      {"three between split", dieci, con({{2, "C"}, {6, "G"}}),
       "@@ -2,3 +2,3 @@\n b\n-c\n+C\n d\n@@ -6,3 +6,3 @@\n f\n-g\n+G\n h\n", 2},
      {"adjacent grouped", dieci, con({{3, "D"}, {4, "E"}}), "@@ -3,4 +3,4 @@\n c\n-d\n-e\n+D\n+E\n f\n", 2},
      {"one-line file", {"x"}, {"y"}, "@@ -1,1 +1,1 @@\n-x\n+y\n", 1},
      {"code page shown as UTF-8",
       {"Comments=citt\xE0"},
       {"Comments=\x80"},
       "@@ -1,1 +1,1 @@\n-Comments=città\n+Comments=€\n",
       1},
  };
  for (const CasoDiff& c : casi) {
    const DiffFile d = DiffUnificato("C:\\P\\X.vbp", c.prima, c.dopo);
    EXPECT_EQ(d.righeCambiate, c.cambiate) << c.nome;
    EXPECT_EQ(d.testo, c.cambiate ? "--- C:\\P\\X.vbp\n+++ C:\\P\\X.vbp\n" + c.atteso : "") << c.nome;
  }
}

}  // namespace
}  // namespace cw
