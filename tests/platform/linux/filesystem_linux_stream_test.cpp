#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "base/errors.h"
#include "platform/linux/filesystem_linux.h"
#include "support/errore.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

using test::ErroreDi;

class TextStreamTest : public ::testing::Test {
 protected:
  std::vector<std::string> Lines(std::string_view path) {
    std::vector<std::string> out;
    auto in = files.OpenTextFile(path, IOMode::ForReading);
    while (!in->AtEndOfStream()) out.push_back(in->ReadLine());
    in->Close();
    return out;
  }
  std::vector<std::string> LinesOf(std::string_view bytes) {
    pre.Scrivi("C:\\t.txt", bytes);
    return Lines("C:\\t.txt");
  }

  test::PrefissoTemporaneo pre;
  FileSystemLinux files{DriveTable(pre.Dir())};
};

using V = std::vector<std::string>;

TEST_F(TextStreamTest, LinesEndAtCrLfLfOrALoneCr) {
  EXPECT_EQ(LinesOf("a\r\nb\nc\r\n"), (V{"a", "b", "c"}));
  EXPECT_EQ(LinesOf("last line without end"), (V{"last line without end"}));
  EXPECT_EQ(LinesOf("a\r\n\r\n\nb"), (V{"a", "", "", "b"}));
  EXPECT_EQ(LinesOf("\n"), (V{""}));
  EXPECT_EQ(LinesOf("\r\n"), (V{""}));
  EXPECT_EQ(LinesOf("c\rd\r\ne\r"), (V{"c", "d", "e"}));
  EXPECT_EQ(LinesOf("\r\r\n\r"), (V{"", "", ""}));
  EXPECT_EQ(LinesOf("x\r\r\r\n"), (V{"x", "", ""}));
  EXPECT_EQ(LinesOf("\n\r"), (V{"", ""}));
}

TEST_F(TextStreamTest, AnEmptyFileIsAtItsEndAtOnce) {
  pre.Scrivi("C:\\vuoto.txt", "");
  auto in = files.OpenTextFile("C:\\vuoto.txt", IOMode::ForReading);
  EXPECT_TRUE(in->AtEndOfStream());
  EXPECT_EQ(in->ReadAll(), "");
  EXPECT_EQ(ErroreDi([&] { in->ReadLine(); }), 62);

  pre.Scrivi("C:\\uno.txt", "a\r\n");
  auto one = files.OpenTextFile("C:\\uno.txt", IOMode::ForReading);
  one->ReadLine();
  EXPECT_TRUE(one->AtEndOfStream());
  EXPECT_EQ(ErroreDi([&] { one->ReadLine(); }), 62);
}

TEST_F(TextStreamTest, ReadAllGivesTheRemainingBytesUntouched) {
  pre.Scrivi("C:\\e.txt", "prima\r\nErrore: impossibile\rcompilare\nfine");
  auto in = files.OpenTextFile("c:\\E.TXT", IOMode::ForReading);
  EXPECT_EQ(in->ReadLine(), "prima");
  EXPECT_EQ(in->ReadAll(), "Errore: impossibile\rcompilare\nfine");
  EXPECT_TRUE(in->AtEndOfStream());
}

TEST_F(TextStreamTest, AnsiBytesRoundTripUnchanged) {
  std::string line;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') line += static_cast<char>(b);
  {
    auto out = files.OpenTextFile("C:\\ansi.txt", IOMode::ForWriting, true);
    out->WriteLine(line);
    out->WriteLine("Società \x80 \xE0\xE8");  // UTF-8 bytes and 1252 bytes alike
    out->Close();
  }
  EXPECT_EQ(pre.Leggi("C:\\ansi.txt"), line + "\r\nSocietà \x80 \xE0\xE8\r\n");
  EXPECT_EQ(Lines("C:\\ansi.txt"), (V{line, "Società \x80 \xE0\xE8"}));
}

TEST_F(TextStreamTest, WritingEmptiesOrCreatesAtOnce) {
  pre.Scrivi("C:\\P\\a.vbp", "old content\r\n");
  auto out = files.OpenTextFile("C:\\p\\A.VBP", IOMode::ForWriting, true);
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp"), "");  // before any line is written
  out->Write("Type=");
  out->WriteLine("OleDll");
  out->WriteLine("");
  out->Close();
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp"), "Type=OleDll\r\n\r\n");

  // A created file takes the case it was given.
  files.OpenTextFile("C:\\p\\Wexo1.VBG", IOMode::ForWriting, true)->Close();
  EXPECT_TRUE(fs::exists(pre.Host("C:\\P\\Wexo1.VBG")));
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\nuovo.txt", IOMode::ForWriting, false); }), 53);
  EXPECT_FALSE(fs::exists(pre.Host("C:\\P\\nuovo.txt")));

  // Reading with create makes an empty file.
  EXPECT_TRUE(files.OpenTextFile("C:\\P\\creato.txt", IOMode::ForReading, true)->AtEndOfStream());
  EXPECT_TRUE(fs::exists(pre.Host("C:\\P\\creato.txt")));
}

TEST_F(TextStreamTest, AppendingKeepsWhatIsThere) {
  pre.Scrivi("C:\\log.txt", "uno\r\n");
  auto out = files.OpenTextFile("C:\\log.txt", IOMode::ForAppending);
  out->WriteLine("due");
  out->Close();
  files.OpenTextFile("C:\\nuovo.txt", IOMode::ForAppending, true)->WriteLine("tre");
  EXPECT_EQ(pre.Leggi("C:\\log.txt"), "uno\r\ndue\r\n");
  EXPECT_EQ(pre.Leggi("C:\\nuovo.txt"), "tre\r\n");
}

TEST_F(TextStreamTest, LinesWrittenBeforeAFailureReachTheFile) {
  pre.Scrivi("C:\\a.vbp", "x");
  try {
    auto out = files.OpenTextFile("C:\\a.vbp", IOMode::ForWriting, true);
    out->WriteLine("Type=Exe");
    out->WriteLine("Name=\"Orbalis\"");
    throw std::runtime_error("a rule failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(pre.Leggi("C:\\a.vbp"), "Type=Exe\r\nName=\"Orbalis\"\r\n");
  // The file was closed too: nothing holds it open.
  fs::remove(pre.Host("C:\\a.vbp"));
  EXPECT_FALSE(files.FileExists("C:\\a.vbp"));
}

TEST_F(TextStreamTest, ClosedStreamsRefuseEveryCall) {
  pre.Scrivi("C:\\a.txt", "riga\r\n");
  auto in = files.OpenTextFile("C:\\a.txt", IOMode::ForReading);
  in->Close();
  EXPECT_EQ(ErroreDi([&] { in->AtEndOfStream(); }), 52);
  EXPECT_EQ(ErroreDi([&] { in->ReadLine(); }), 52);
  EXPECT_EQ(ErroreDi([&] { in->ReadAll(); }), 52);
  EXPECT_EQ(ErroreDi([&] { in->Close(); }), 52);

  auto out = files.OpenTextFile("C:\\b.txt", IOMode::ForWriting, true);
  out->WriteLine("riga");
  out->Close();
  EXPECT_EQ(ErroreDi([&] { out->WriteLine("altra"); }), 52);
  EXPECT_EQ(ErroreDi([&] { out->Write("altra"); }), 52);
  EXPECT_EQ(ErroreDi([&] { out->Close(); }), 52);
  EXPECT_EQ(pre.Leggi("C:\\b.txt"), "riga\r\n");
}

TEST_F(TextStreamTest, StreamsGoOneWay) {
  pre.Scrivi("C:\\a.txt", "riga\r\n");
  auto in = files.OpenTextFile("C:\\a.txt", IOMode::ForReading);
  EXPECT_EQ(ErroreDi([&] { in->WriteLine("x"); }), 5);
  EXPECT_EQ(ErroreDi([&] { in->Write("x"); }), 5);
  auto out = files.OpenTextFile("C:\\b.txt", IOMode::ForWriting, true);
  EXPECT_EQ(ErroreDi([&] { out->AtEndOfStream(); }), 5);
  EXPECT_EQ(ErroreDi([&] { out->ReadLine(); }), 5);
  EXPECT_EQ(ErroreDi([&] { out->ReadAll(); }), 5);
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\a.txt", static_cast<IOMode>(3)); }), 5);
  EXPECT_EQ(pre.Leggi("C:\\a.txt"), "riga\r\n");
}

TEST_F(TextStreamTest, AFiveMegabyteFormRewritesWhole) {
  std::string big;
  size_t lines = 0;
  for (; big.size() < 5 * 1024 * 1024; ++lines)
    big += "   Caption = \"Etichetta \xE8 " + std::to_string(lines) + "\"\r\n";
  pre.Scrivi("C:\\P\\Form\\Grande.frm", big);

  // The rewrite as the project-file editing does it.
  files.CopyFile("C:\\P\\Form\\Grande.frm", "C:\\P\\Form\\Grande.frm_tmp");
  auto in = files.OpenTextFile("C:\\P\\Form\\Grande.frm_tmp", IOMode::ForReading);
  auto out = files.OpenTextFile("C:\\P\\Form\\Grande.frm", IOMode::ForWriting, true);
  size_t n = 0;
  while (!in->AtEndOfStream()) {
    out->WriteLine(in->ReadLine());
    ++n;
  }
  in->Close();
  out->Close();
  files.DeleteFile("C:\\P\\Form\\Grande.frm_tmp");
  EXPECT_EQ(n, lines);
  EXPECT_EQ(pre.Leggi("C:\\P\\Form\\Grande.frm"), big);
  EXPECT_FALSE(fs::exists(pre.Host("C:\\P\\Form\\Grande.frm_tmp")));
}

}  // namespace
}  // namespace cw
