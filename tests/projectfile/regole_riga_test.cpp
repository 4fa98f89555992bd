#include "projectfile/regole_riga.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/errors.h"

namespace cw {
namespace {

TEST(RegolaPrefisso, ReplacesTheWholeLineAfterTheKey) {
  const auto r = RegolaPrefisso("CompatibleMode=", "\"2\"");
  EXPECT_EQ(r("CompatibleMode=\"1\""), "CompatibleMode=\"2\"");
  EXPECT_EQ(r("CompatibleMode=0"), "CompatibleMode=\"2\"");
  EXPECT_EQ(r("CompatibleMode="), "CompatibleMode=\"2\"");
  EXPECT_EQ(r("CompatibleMode=\"1\" ; trailing text"), "CompatibleMode=\"2\"");
}

TEST(RegolaPrefisso, MatchesOnlyTheExactKeyAtTheStart) {
  const auto r = RegolaPrefisso("MajorVer=", "3");
  EXPECT_EQ(r("MajorVersion=1"), "MajorVersion=1");  // the key carries its "="
  EXPECT_EQ(r("majorver=1"), "majorver=1");
  EXPECT_EQ(r(" MajorVer=1"), " MajorVer=1");
  EXPECT_EQ(r("\tMajorVer=1"), "\tMajorVer=1");
  EXPECT_EQ(r("MajorVer"), "MajorVer");  // shorter than the key
  EXPECT_EQ(r(""), "");
  EXPECT_EQ(r("X MajorVer=1"), "X MajorVer=1");
}

TEST(RegolaPrefisso, ValueGoesInAsGiven) {
  EXPECT_EQ(RegolaPrefisso("MajorVer=", " 3")("MajorVer=1"), "MajorVer= 3");
  EXPECT_EQ(RegolaPrefisso("VersionComments=", "")("VersionComments=\"old\""), "VersionComments=");
  EXPECT_EQ(RegolaPrefisso("VersionComments=", "a=b \"c\"")("VersionComments=x"), "VersionComments=a=b \"c\"");
  // Bytes beyond ASCII and NUL pass untouched.
  const std::string valore("\xA9 \x80\0z", 5);
  EXPECT_EQ(RegolaPrefisso("VersionLegalCopyright=", valore)("VersionLegalCopyright=x"),
            "VersionLegalCopyright=" + valore);
}

TEST(RegoleRiga, AReplacementHoldingALineEndIsRefusedWithError5) {
  const std::function<void(std::string)> costruisci[] = {
      [](std::string t) { RegolaPrefisso("VersionComments=", t); },
      [](std::string t) { RegolaRigaIntera("x", t); },
      [](std::string t) { RegolaSottostringa("{A}", t); },
  };
  for (const auto& c : costruisci) {
    for (const char* testo : {"riga1\r\nMajorVer=99", "a\n", "\rb"}) {
      int numero = 0;
      try {
        c(testo);
      } catch (const ErroreRuntime& e) {
        numero = e.Numero();
      }
      EXPECT_EQ(numero, 5) << testo;
    }
    EXPECT_NO_THROW(c("a b\tc"));
  }
}

TEST(RegolaRigaIntera, OnlyTheExactLine) {
  const auto r = RegolaRigaIntera("FavorPentiumPro(tm)=0", "FavorPentiumPro(tm)=-1");
  EXPECT_EQ(r("FavorPentiumPro(tm)=0"), "FavorPentiumPro(tm)=-1");
  EXPECT_EQ(r("FavorPentiumPro(tm)=-1"), "FavorPentiumPro(tm)=-1");
  EXPECT_EQ(r("FavorPentiumPro(tm)=0 "), "FavorPentiumPro(tm)=0 ");
  EXPECT_EQ(r("FavorPentiumPro(tm)=00"), "FavorPentiumPro(tm)=00");
  EXPECT_EQ(r("favorpentiumpro(tm)=0"), "favorpentiumpro(tm)=0");
  EXPECT_EQ(r("FavorPentiumPro(tm)=0\r"), "FavorPentiumPro(tm)=0\r");
}

TEST(RegolaSottostringa, EveryOccurrenceLeftToRightWithoutOverlaps) {
  const auto g = RegolaSottostringa("{AB}", "{CD}");
  EXPECT_EQ(g("Object={AB}#1.0#0; x={AB}"), "Object={CD}#1.0#0; x={CD}");
  EXPECT_EQ(g("{ab}"), "{ab}");
  EXPECT_EQ(g("{AB}{AB}"), "{CD}{CD}");
  EXPECT_EQ(g(""), "");
  EXPECT_EQ(RegolaSottostringa("aa", "b")("aaaaa"), "bba");
  EXPECT_EQ(RegolaSottostringa("aa", "b")("aaa"), "ba");
}

TEST(RegolaSottostringa, NewTextHoldingTheOldIsNotReplacedAgain) {
  EXPECT_EQ(RegolaSottostringa("G", "GG")("aGbG"), "aGGbGG");
  EXPECT_EQ(RegolaSottostringa("{1}", "{{1}}")("{1}"), "{{1}}");
}

TEST(RegolaSottostringa, ShorterLongerAndEmptyReplacements) {
  EXPECT_EQ(RegolaSottostringa("abc", "")("xabcyabc"), "xy");
  EXPECT_EQ(RegolaSottostringa("a", "long")("aXa"), "longXlong");
  // An empty search text would match everywhere; it matches nothing.
  EXPECT_EQ(RegolaSottostringa("", "x")("abc"), "abc");
}

TEST(InSequenza, EachRuleSeesTheLineThePreviousLeft) {
  const auto r = InSequenza({RegolaSottostringa("a", "b"), RegolaSottostringa("b", "c")});
  EXPECT_EQ(r("ab"), "cc");
  const auto v = InSequenza({RegolaPrefisso("MajorVer=", "1"), RegolaPrefisso("MinorVer=", "2"),
                             RegolaPrefisso("RevisionVer=", "3"),
                             RegolaRigaIntera("FavorPentiumPro(tm)=0", "FavorPentiumPro(tm)=-1")});
  EXPECT_EQ(v("MajorVer=9"), "MajorVer=1");
  EXPECT_EQ(v("MinorVer=9"), "MinorVer=2");
  EXPECT_EQ(v("RevisionVer=9"), "RevisionVer=3");
  EXPECT_EQ(v("FavorPentiumPro(tm)=0"), "FavorPentiumPro(tm)=-1");
  EXPECT_EQ(v("Name=\"x\""), "Name=\"x\"");
}

TEST(InSequenza, AValueThatLooksLikeAnotherKeyIsNotTakenAgain) {
  // A replaced line keeps its own key, so a later prefix rule cannot claim it.
  const auto r = InSequenza({RegolaPrefisso("A=", "B=x"), RegolaPrefisso("B=", "y")});
  EXPECT_EQ(r("A=1"), "A=B=x");
  EXPECT_EQ(r("B=1"), "B=y");
}

}  // namespace
}  // namespace cw
