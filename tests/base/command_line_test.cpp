#include "base/command_line.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace cw {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsByTheWindowsRules) {
  struct Caso {
    const char* line;
    Words words;
  } casi[] = {
      {R"(p "abc" d e)", {"p", "abc", "d", "e"}},
      {R"(p a\\\\b d"e f"g h)", {"p", R"(a\\\\b)", "de fg", "h"}},  // backslashes alone are literal
      {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},              // 2n+1 backslashes + quote
      {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},        // 2n backslashes + quote
      {R"(p "a""b" x)", {"p", R"(a"b)", "x"}},                      // doubled quote inside quotes
      {R"(p "" "")", {"p", "", ""}},
      {"p\t a  \t b ", {"p", "a", "b"}},
      {"   p", {"p"}},
      {"", {}},
      {"  \t ", {}},
      {R"(p "open quote)", {"p", "open quote"}},
      // The program name knows no escapes: a backslash before its closing
      // quote stays.
      {R"("C:\Program Files\dir\" x)", {R"(C:\Program Files\dir\)", "x"}},
      {R"(C:\A"b c"d\e.exe /x)", {R"(C:\Ab cd\e.exe)", "/x"}},
  };
  for (const auto& c : casi) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandLine, TheCompileLineSplitsIntoItsPaths) {
  const std::string line =
      "\"C:\\Programmi\\Microsoft Visual Studio\\VB98\\VB6.EXE\" /make \"C:\\Progetti VB\\Wexo\\Orbalis\\Orbalis.vbp\""
      " /outdir \"C:\\Orbalis\\Componenti\" /out \"C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt\"";
  EXPECT_EQ(SplitCommandLine(line),
            (Words{"C:\\Programmi\\Microsoft Visual Studio\\VB98\\VB6.EXE", "/make",
                   "C:\\Progetti VB\\Wexo\\Orbalis\\Orbalis.vbp", "/outdir", "C:\\Orbalis\\Componenti", "/out",
                   "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt"}));
  // The registration line is not quoted: a blank in the folder splits it.
  EXPECT_EQ(SplitCommandLine("C:\\Orbalis\\Componenti\\Srv.exe /RegServer"),
            (Words{"C:\\Orbalis\\Componenti\\Srv.exe", "/RegServer"}));
}

TEST(CommandLine, QuotingLeavesPlainWordsAlone) {
  EXPECT_EQ(QuoteArgument("/RegServer"), "/RegServer");
  EXPECT_EQ(QuoteArgument(R"(C:\a\b)"), R"(C:\a\b)");
  EXPECT_EQ(QuoteArgument(""), R"("")");
  EXPECT_EQ(QuoteArgument(R"(C:\a b\)"), R"("C:\a b\\")");
  EXPECT_EQ(QuoteArgument(R"(say "hi")"), R"("say \"hi\"")");
  EXPECT_EQ(JoinCommandLine({"C:\\Program Files\\p.exe", "a b"}), R"("C:\Program Files\p.exe" "a b")");
  EXPECT_THROW(JoinCommandLine({"a\"b"}), std::invalid_argument);
}

TEST(CommandLine, JoinedWordsSplitBackUnchanged) {
  const Words fissi[] = {
      {R"(C:\Cartella con spazi\p.exe)", R"(a\)", R"(a\\)", R"(\")", R"(\\")", R"("")", "", " ", "\t", R"(x"y z)",
       R"(C:\Progetti VB\)", R"(\\server\share\)", "è ü"},
      {"p"},
      {""},
      {"", ""},
  };
  for (const auto& w : fissi) EXPECT_EQ(SplitCommandLine(JoinCommandLine(w)), w) << JoinCommandLine(w);

  // Every short word over the characters that matter.
  std::mt19937 rng(12345);
  const char alfabeto[] = {'a', ' ', '\t', '"', '\\'};
  auto parola = [&](bool programma) {
    std::string s;
    const auto n = rng() % 9;
    for (unsigned i = 0; i < n; ++i) {
      char c = alfabeto[rng() % sizeof alfabeto];
      if (programma && c == '"') c = 'b';
      s += c;
    }
    return s;
  };
  for (int k = 0; k < 5000; ++k) {
    Words w = {parola(true)};
    const auto n = rng() % 4;
    for (unsigned i = 0; i < n; ++i) w.push_back(parola(false));
    ASSERT_EQ(SplitCommandLine(JoinCommandLine(w)), w) << JoinCommandLine(w);
  }
}

}  // namespace
}  // namespace cw
