// Reading private-profile files: which line answers and what comes back.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <random>

#include "platform/linux/profilo_linux.h"
#include "settings/file_profilo.h"

namespace cw {
namespace {

using test::FileProfilo;
using namespace std::string_literals;

TEST(ProfiloLettura, NamesIgnoreAsciiCaseOnly) {
  FileProfilo f;
  f.Metti("[versione]\r\nprincipale = 2 \r\n[\xC0]\r\nX=1\r\n");
  EXPECT_EQ(f.Leggi("Versione", "Principale"), "2");
  EXPECT_EQ(f.Leggi("VERSIONE", "PRINCIPALE"), "2");
  EXPECT_EQ(f.Leggi("\xC0", "x"), "1");
  EXPECT_EQ(f.Leggi("\xE0", "X"), "DEF");  // accented letters are not folded
}

TEST(ProfiloLettura, BlanksAroundNames) {
  FileProfilo f;
  f.Metti(" \t[ Versione\t]\r\n Principale =1\r\n\tSecondario\t=\t2\t\r\n\vRevisione\v=3\r\n");
  EXPECT_EQ(f.Leggi("Versione", "Principale"), "1");
  EXPECT_EQ(f.Leggi("Versione", "Secondario"), "2");
  EXPECT_EQ(f.Leggi("Versione", "Revisione"), "3");  // a vertical tab is a blank too
  // Spaces around an argument do not count; a tab at either end never matches.
  EXPECT_EQ(f.Leggi("  Versione ", " Principale  "), "1");
  EXPECT_EQ(f.Leggi("\tVersione", "Principale"), "DEF");
  EXPECT_EQ(f.Leggi("Versione", "Principale\t"), "DEF");
}

TEST(ProfiloLettura, HeaderEndsAtFirstBracketOrLineEnd) {
  FileProfilo f;
  f.Metti("[Versione] ignored ] text\r\nA=1\r\n[Aperta  \r\nB=2\r\n");
  EXPECT_EQ(f.Leggi("Versione", "A"), "1");
  EXPECT_EQ(f.Leggi("Aperta", "B"), "2");
}

TEST(ProfiloLettura, ValueBlanksAndOneOuterPairOfQuotes) {
  FileProfilo f;
  f.Metti(
      "[Versione]\r\n"
      "Commenti=\"  x  \"\r\n"
      "Mista='a\"\r\n"
      "Doppia=\"\"x\"\"\r\n"
      "Semplici=' y '\r\n"
      "Vuote=\"\"\r\n"
      "Sola=\"\r\n"
      "Dati= a;b#c = d \t\r\n"
      "Verticali=\vtesto\v\r\n");
  EXPECT_EQ(f.Leggi("Versione", "Commenti"), "  x  ");
  EXPECT_EQ(f.Leggi("Versione", "Mista"), "'a\"");
  EXPECT_EQ(f.Leggi("Versione", "Doppia"), "\"x\"");
  EXPECT_EQ(f.Leggi("Versione", "Semplici"), " y ");
  EXPECT_EQ(f.Leggi("Versione", "Vuote"), "");
  EXPECT_EQ(f.Leggi("Versione", "Sola"), "\"");
  EXPECT_EQ(f.Leggi("Versione", "Dati"), "a;b#c = d");
  EXPECT_EQ(f.Leggi("Versione", "Verticali"), "testo");
}

TEST(ProfiloLettura, CommentsAndLinesThatAreNotKeys) {
  FileProfilo f;
  f.Metti("[Versione]\r\n;A=1\r\n  ;B=2\r\n#C=3\r\nD\r\n\r\n   \r\nE=5\r\n");
  EXPECT_EQ(f.Leggi("Versione", "A"), "DEF");
  EXPECT_EQ(f.Leggi("Versione", "B"), "DEF");
  EXPECT_EQ(f.Leggi("Versione", "#C"), "3");  // "#" is no comment
  EXPECT_EQ(f.Leggi("Versione", "D"), "DEF");
  EXPECT_EQ(f.Leggi("Versione", "E"), "5");
}

TEST(ProfiloLettura, EmptyValueIsNotMissing) {
  FileProfilo f;
  EXPECT_EQ(f.Leggi("Versione", "Revisione", "0"), "0");  // no file
  f.Metti("[Versione]\r\nRevisione=\r\nSpazi=   \r\n");
  EXPECT_EQ(f.Leggi("Versione", "Revisione", "0"), "");
  EXPECT_EQ(f.Leggi("Versione", "Spazi", "0"), "");
  EXPECT_EQ(f.Leggi("Versione", "Manca", "0"), "0");
  EXPECT_EQ(f.Leggi("Altra", "Revisione", "0"), "0");
}

TEST(ProfiloLettura, DefaultLosesTrailingSpacesOnly) {
  FileProfilo f;
  EXPECT_EQ(f.Leggi("Versione", "A", "  d  "), "  d");
  EXPECT_EQ(f.Leggi("Versione", "A", "d\t"), "d\t");
  EXPECT_EQ(f.Leggi("Versione", "A", "   "), "");
}

TEST(ProfiloLettura, BufferTruncation) {
  FileProfilo f;
  const std::string lungo(300, 'x');
  f.Metti("[Versione]\r\nLungo=" + lungo + "\r\nGiusto=" + std::string(253, 'g') + "\r\nUno=" + std::string(254, 'u') +
          "\r\n");
  EXPECT_EQ(f.Leggi("Versione", "Lungo"), std::string(253, 'x'));
  EXPECT_EQ(f.Leggi("Versione", "Giusto"), std::string(253, 'g'));
  EXPECT_EQ(f.Leggi("Versione", "Uno"), std::string(253, 'u'));
  EXPECT_EQ(f.Leggi("Versione", "Manca", lungo), std::string(253, 'x'));  // the default too
  EXPECT_EQ(f.Leggi("Versione", "Lungo", "", 5), "xxxx");
  EXPECT_EQ(f.Leggi("Versione", "Lungo", "", 1), "");

  char buffer[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(ProfiloLinux().GetPrivateProfileStringA(f.Percorso(), "Versione", "Lungo", "", buffer, 0), 0u);
  EXPECT_EQ(std::string(buffer, 4), "abcd");  // room for nothing: nothing written
}

TEST(ProfiloLettura, DuplicateKeysAndSections) {
  FileProfilo f;
  f.Metti("[Versione]\r\nA=1\r\nA=2\r\n[Altro]\r\nB=0\r\n[VERSIONE]\r\nB=3\r\n");
  EXPECT_EQ(f.Leggi("Versione", "A"), "1");
  EXPECT_EQ(f.Leggi("Versione", "B"), "DEF");  // only the first block counts
  f.Metti("[Versione]\r\n[Versione]\r\nA=1\r\n");
  EXPECT_EQ(f.Leggi("Versione", "A"), "DEF");
}

TEST(ProfiloLettura, LinesBeforeTheFirstSectionAreUnreachable) {
  FileProfilo f;
  f.Metti("A=1\r\n[Versione]\r\n");
  EXPECT_EQ(f.Leggi("Versione", "A"), "DEF");
  EXPECT_EQ(f.Leggi("", "A"), "DEF");
}

TEST(ProfiloLettura, EveryKindOfLineEnd) {
  FileProfilo f;
  f.Metti("[Versione]\nA=1\rB=2\r\nC=3\n\rD=4\r\r\nE=5");
  EXPECT_EQ(f.Leggi("Versione", "A"), "1");
  EXPECT_EQ(f.Leggi("Versione", "B"), "2");
  EXPECT_EQ(f.Leggi("Versione", "C"), "3");
  EXPECT_EQ(f.Leggi("Versione", "D"), "4");
  EXPECT_EQ(f.Leggi("Versione", "E"), "5");  // no final line end
}

TEST(ProfiloLettura, AnsiBytesAndByteOrderMarks) {
  FileProfilo f;
  f.Metti("[Versione]\r\nNomeSocieta=Societ\xE0 \x80\x81\r\n");
  EXPECT_EQ(f.Leggi("Versione", "NomeSocieta"), "Societ\xE0 \x80\x81");

  // A UTF-8 mark is part of the first line, so a header there is not seen.
  f.Metti("\xEF\xBB\xBF[Versione]\r\nA=1\r\n[Altro]\r\nB=2\r\n");
  EXPECT_EQ(f.Leggi("Versione", "A"), "DEF");
  EXPECT_EQ(f.Leggi("Altro", "B"), "2");

  // FF FE: UTF-16LE, handed out in Windows-1252; a character 1252 lacks is "?".
  std::string utf16 = "\xFF\xFE";
  for (const char16_t c : std::u16string(u"[Versione]\r\nNome=\u00E0\u20AC\u2603\r\nX=\"q\"")) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  f.Metti(utf16 + "\x41");  // an odd last byte is no character
  EXPECT_EQ(f.Leggi("versione", "nome"), "\xE0\x80?");
  EXPECT_EQ(f.Leggi("Versione", "X"), "q");
}

TEST(ProfiloLettura, GarbageNeverStopsTheReader) {
  FileProfilo f;
  // NUL bytes are bytes like any other: not blanks, not line ends.
  f.Metti("\0\0\r\n[Altro]\r\nA=\0x\r\n[Versione]\r\nB=1\0\r\n\0[Nul]\r\nC=1\r\n"s);
  EXPECT_EQ(f.Leggi("Altro", "A"), "\0x"s);
  EXPECT_EQ(f.Leggi("Versione", "B"), "1\0"s);
  EXPECT_EQ(f.Leggi("Nul", "C"), "DEF");
  EXPECT_EQ(f.Leggi("Versione", "C"), "1");  // "\0[Nul]" was no header

  // Random bytes around a well-formed section.
  std::mt19937 caso(42);
  std::string rumore;
  for (int i = 0; i < 200000; ++i) rumore += static_cast<char>(caso() & 0xFF);
  f.Metti(rumore + "\r\n[Versione]\r\nA=ok\r\n" + rumore);
  EXPECT_EQ(f.Leggi("Versione", "A"), "ok");
  EXPECT_EQ(f.Leggi("Versione", "Manca"), "DEF");

  // A megabyte in one line, then the key.
  f.Metti("[Versione]\r\nX=" + std::string(1 << 20, 'y') + "\r\nA=fine");
  EXPECT_EQ(f.Leggi("Versione", "A"), "fine");
  EXPECT_EQ(f.Leggi("Versione", "X"), std::string(253, 'y'));
}

TEST(ProfiloLettura, ThingsThatAreNotFilesGiveTheDefault) {
  FileProfilo f;
  std::filesystem::create_directory(f.Percorso());
  EXPECT_EQ(f.Leggi("Versione", "A"), "DEF");
#ifndef _WIN32  // Windows has no named pipes in the file system
  std::filesystem::remove(f.Percorso());
  ASSERT_EQ(::mkfifo(f.Percorso().c_str(), 0600), 0);
  EXPECT_EQ(f.Leggi("Versione", "A"), "DEF");  // and does not wait for a writer
  EXPECT_FALSE(f.Scrivi("Versione", "A", "1"));
#endif
}

TEST(ProfiloLettura, ArgumentsEndAtTheirFirstNul) {
  FileProfilo f;
  f.Metti("[Versione]\r\nA=1\r\n");
  EXPECT_EQ(f.Leggi("Versione\0x"s, "A\0B"s), "1");
  EXPECT_EQ(f.Leggi("Versione", "Manca", "d\0e"s), "d");
}

}  // namespace
}  // namespace cw
