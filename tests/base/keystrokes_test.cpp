#include "base/keystrokes.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace cw {
namespace {

KeyEvent Ch(char32_t c, unsigned mods = 0) { return {SpecialKey::Character, c, mods}; }
KeyEvent K(SpecialKey k, unsigned mods = 0) { return {k, 0, mods}; }

std::u32string Literal(const std::vector<KeyEvent>& events) {
  std::u32string out;
  for (const auto& e : events) {
    if (e.key != SpecialKey::Character || e.modifiers != 0) return U"<not literal>";
    out += e.character;
  }
  return out;
}

int ErrorOf(std::string_view keys) {
  try {
    ParseKeystrokes(keys);
  } catch (const ErroreRuntime& e) {
    return e.Numero();
  }
  return 0;
}

TEST(Keystrokes, PlainTextIsItsCharactersIncludingAccents) {
  EXPECT_EQ(Literal(ParseKeystrokes("C:\\Città è.vbp")), U"C:\\Città è.vbp");
  EXPECT_TRUE(ParseKeystrokes("").empty());
}

TEST(Keystrokes, NamedKeysInAnyCaseAndEverySpelling) {
  EXPECT_EQ(ParseKeystrokes("{ENTER}{enter}~"),
            (std::vector<KeyEvent>{K(SpecialKey::Enter), K(SpecialKey::Enter), K(SpecialKey::Enter)}));
  EXPECT_EQ(ParseKeystrokes("{BS}{BACKSPACE}{BKSP}"),
            (std::vector<KeyEvent>{K(SpecialKey::Backspace), K(SpecialKey::Backspace), K(SpecialKey::Backspace)}));
  EXPECT_EQ(ParseKeystrokes("{DEL}{Delete}{INS}{insert}"),
            (std::vector<KeyEvent>{K(SpecialKey::Delete), K(SpecialKey::Delete), K(SpecialKey::Insert),
                                   K(SpecialKey::Insert)}));
  EXPECT_EQ(ParseKeystrokes("{F1}{F10}{F16}{PGUP}{PGDN}{PRTSC}{BREAK}{HELP}"),
            (std::vector<KeyEvent>{K(SpecialKey::F1), K(SpecialKey::F10), K(SpecialKey::F16), K(SpecialKey::PageUp),
                                   K(SpecialKey::PageDown), K(SpecialKey::PrintScreen), K(SpecialKey::Break),
                                   K(SpecialKey::Help)}));
  EXPECT_EQ(ParseKeystrokes("{CAPSLOCK}{NUMLOCK}{SCROLLLOCK}{TAB}{ESC}{HOME}{END}{UP}{DOWN}{LEFT}{RIGHT}").size(), 11u);
  EXPECT_STREQ(SpecialKeyName(SpecialKey::PageDown), "PGDN");
}

TEST(Keystrokes, ModifiersHoldForTheNextKeyOrTheWholeGroup) {
  EXPECT_EQ(ParseKeystrokes("+ab"), (std::vector<KeyEvent>{Ch('a', kModShift), Ch('b')}));
  EXPECT_EQ(ParseKeystrokes("^%{DEL}"), (std::vector<KeyEvent>{K(SpecialKey::Delete, kModCtrl | kModAlt)}));
  EXPECT_EQ(ParseKeystrokes("+(ab)c"), (std::vector<KeyEvent>{Ch('a', kModShift), Ch('b', kModShift), Ch('c')}));
  EXPECT_EQ(ParseKeystrokes("^(a%b)"), (std::vector<KeyEvent>{Ch('a', kModCtrl), Ch('b', kModCtrl | kModAlt)}));
  EXPECT_EQ(ParseKeystrokes("%~"), (std::vector<KeyEvent>{K(SpecialKey::Enter, kModAlt)}));
  EXPECT_EQ(ParseKeystrokes("+{TAB 2}"),
            (std::vector<KeyEvent>{K(SpecialKey::Tab, kModShift), K(SpecialKey::Tab, kModShift)}));
  EXPECT_TRUE(ParseKeystrokes("()").empty());
}

TEST(Keystrokes, BracedCharactersAreLiteralAndRepeat) {
  EXPECT_EQ(Literal(ParseKeystrokes("{+}{^}{%}{~}{(}{)}{[}{]}{{}{}}")), U"+^%~()[]{}");
  EXPECT_EQ(Literal(ParseKeystrokes("{a}{à}{ }")), U"aà ");
  EXPECT_EQ(Literal(ParseKeystrokes("{x 3}{} 2}{  2}")), U"xxx}}  ");
  EXPECT_EQ(ParseKeystrokes("{LEFT 0}a"), (std::vector<KeyEvent>{Ch('a')}));
  EXPECT_EQ(ParseKeystrokes("{ENTER 10000}").size(), 10000u);
}

TEST(Keystrokes, MalformedNotationRaisesError5) {
  for (const char* bad :
       {"{",          "{ENTER",        "{}",  "}",   "a}b", "[",  "x]", "{NOPE}", "{ENTER x}", "{ENTER }",
        "{ENTER 3 }", "{ENTER 10001}", "(ab", "ab)", "+",   "a^", "+)", "(+)",    "\xC3",      "\xFF",
        "\xC3\x28",   "\xED\xA0\x80"})
    EXPECT_EQ(ErrorOf(bad), kChiamataNonValida) << bad;
  // Nesting is read recursively: the deepest allowed group still types, one
  // level more is refused rather than exhausting the stack.
  const auto annidati = [](int n) {
    return std::string(static_cast<size_t>(n), '(') + "a" + std::string(static_cast<size_t>(n), ')');
  };
  EXPECT_EQ(ParseKeystrokes(annidati(kMaxGroupDepth)).size(), 1u);
  EXPECT_EQ(ErrorOf(annidati(kMaxGroupDepth + 1)), kChiamataNonValida);
}

TEST(Keystrokes, EscapedTextTypesExactlyItsCharacters) {
  EXPECT_EQ(EscapeKeystrokes("C:\\Program Files (x86)\\a+b.vbp"), "C:\\Program Files {(}x86{)}\\a{+}b.vbp");
  const std::string every = "+^%~()[]{} plain àè {ENTER} ~x(y) {{}} ^%+";
  EXPECT_EQ(Literal(ParseKeystrokes(EscapeKeystrokes(every))), U"+^%~()[]{} plain àè {ENTER} ~x(y) {{}} ^%+");
  // Every ASCII character, one by one and all together.
  std::string ascii;
  for (char c = 0x20; c < 0x7F; ++c) {
    ascii += c;
    const auto one = ParseKeystrokes(EscapeKeystrokes(std::string(1, c)));
    ASSERT_EQ(one.size(), 1u) << c;
    EXPECT_EQ(one[0], Ch(static_cast<char32_t>(c))) << c;
  }
  EXPECT_EQ(ParseKeystrokes(EscapeKeystrokes(ascii)).size(), ascii.size());
}

}  // namespace
}  // namespace cw
