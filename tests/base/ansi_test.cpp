#include "base/ansi.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace cw {
namespace {

TEST(Ansi, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(Ansi, EuroAndAccentsMapToTheirBytes) {
  EXPECT_EQ(Utf8ToAnsi("€ à è ù"), "\x80 \xE0 \xE8 \xF9");
  EXPECT_EQ(AnsiToUtf8("\x80\xE0"), "€à");
  EXPECT_EQ(AnsiToUtf8("\x9F"), "Ÿ");
}

TEST(Ansi, CharactersOutside1252BecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a☃b"), "a?b");         // one ? per character, not per byte
  EXPECT_EQ(Utf8ToAnsi("x\xC3"), "x?");        // cut sequence
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "?");  // surrogate
}

TEST(Ansi, CharactersOutside1252AreNamedOnceEach) {
  const struct {
    const char* testo;
    const char* fuori;
  } kCasi[] = {
      {"€ à Ÿ \xC2\x81 ©", ""},  // 1252's extras and its undefined bytes' C1 controls fit
      {"a☃b☃", "☃"},
      {"日本日", "日本"},
      {"x\xC3", "\xEF\xBF\xBD"},  // a cut sequence, shown as U+FFFD
  };
  for (const auto& c : kCasi) EXPECT_EQ(CaratteriFuoriAnsi(c.testo), c.fuori) << c.testo;
}

TEST(Ansi, UpperCaseOfNames) {
  EXPECT_EQ(MaiuscoloUtf8("Orbalis.vbp"), "ORBALIS.VBP");
  EXPECT_EQ(MaiuscoloUtf8("Società àèìòù ÿ œ"), "SOCIETÀ ÀÈÌÒÙ Ÿ Œ");
  EXPECT_EQ(MaiuscoloUtf8("straße"), "STRAßE");
  EXPECT_EQ(MaiuscoloUtf8("a\xFF"
                          "b"),
            "A\xFF"
            "B");  // malformed bytes kept
}

TEST(Errori, BoxTextAndDescriptions) {
  ErroreRuntime e(53);
  EXPECT_EQ(e.TestoMessaggio(), "Errore di run-time '53':\n\nImpossibile trovare il file");
  EXPECT_EQ(DescrizioneErrore(76), "Impossibile trovare il percorso");
  EXPECT_EQ(DescrizioneErrore(70), "Autorizzazione negata");
  EXPECT_THROW(SollevaErrore(5), ErroreRuntime);
}

}  // namespace
}  // namespace cw
