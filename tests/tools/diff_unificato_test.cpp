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

// Lines carry their ends: a line whose only change is its end is a change,
// and both sides then name the end; every byte is shown, a NUL too.
TEST(DiffUnificato, LineEndsAndEveryByteCount) {
  using namespace std::string_literals;
  const CasoDiff casi[] = {
      {"LF only",
       {"a\n", "b\n"},
       {"a\r\n", "b\r\n"},
       "@@ -1,2 +1,2 @@\n-a (a capo LF)\n-b (a capo LF)\n+a (a capo CR LF)\n+b (a capo CR LF)\n",
       2},
      {"lone CR",
       {"a\r\n", "b\r", "c\r\n"},
       {"a\r\n", "b\r\n", "c\r\n"},
       "@@ -1,3 +1,3 @@\n a\n-b (a capo CR)\n+b (a capo CR LF)\n c\n",
       1},
      {"no end on the last line",
       {"a\r\n", "b"},
       {"a\r\n", "b\r\n"},
       "@@ -1,2 +1,2 @@\n a\n-b (senza a capo)\n+b (a capo CR LF)\n",
       1},
      {"same ends are not named", {"x=1\r\n", "y\r\n"}, {"x=2\r\n", "y\r\n"}, "@@ -1,2 +1,2 @@\n-x=1\n+x=2\n y\n", 1},
      {"a NUL byte", {"a\0b\r\n"s, "c\0\r\n"s}, {"A\0b\r\n"s, "c\0\r\n"s}, "@@ -1,2 +1,2 @@\n-a\0b\n+A\0b\n c\0\n"s, 1},
  };
  for (const CasoDiff& c : casi) {
    const DiffFile d = DiffUnificato("C:\\P\\X.vbp", c.prima, c.dopo);
    EXPECT_EQ(d.righeCambiate, c.cambiate) << c.nome;
    EXPECT_EQ(d.testo, "--- C:\\P\\X.vbp\n+++ C:\\P\\X.vbp\n" + c.atteso) << c.nome;
  }
}

}  // namespace
}  // namespace cw
