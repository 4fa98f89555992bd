#include "support/fault_injecting_filesystem.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/errors.h"
#include "support/errore.h"
#include "support/fso_di_prova.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using Op = FaultInjectingFileSystem::Op;
using V = std::vector<std::string>;

using test::ErroreDi;

class FaultInjectingTest : public ::testing::Test {
 protected:
  // The rewrite of one file, as the project-file editing does it.
  void Rewrite(const std::string& path) {
    files.CopyFile(path, path + "_tmp", true);
    auto in = files.OpenTextFile(path + "_tmp", IOMode::ForReading, false);
    auto out = files.OpenTextFile(path, IOMode::ForWriting, true);
    while (!in->AtEndOfStream()) out->WriteLine(in->ReadLine() + "!");
    in->Close();
    out->Close();
    files.DeleteFile(path + "_tmp", true);
  }

  test::PrefissoTemporaneo pre;
  test::FileSystemDiProva disk{pre};
  FaultInjectingFileSystem files{disk};
};

TEST_F(FaultInjectingTest, TracesEveryCallInOrder) {
  pre.Scrivi("C:\\P\\a.vbp", "uno\r\ndue\r\n");
  pre.Scrivi("C:\\P\\Form\\f.frm", "x");
  EXPECT_TRUE(files.FileExists("C:\\P\\a.vbp"));
  EXPECT_TRUE(files.FolderExists("C:\\P\\Form"));
  EXPECT_EQ(files.GetFolder("C:\\P\\Form").FileNames, V{"f.frm"});
  Rewrite("C:\\P\\a.vbp");
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp"), "uno!\r\ndue!\r\n");

  EXPECT_EQ(files.TraceLines(), (V{
                                    "FileExists C:\\P\\a.vbp",
                                    "FolderExists C:\\P\\Form",
                                    "GetFolder C:\\P\\Form",
                                    "CopyFile C:\\P\\a.vbp -> C:\\P\\a.vbp_tmp",
                                    "OpenTextFile C:\\P\\a.vbp_tmp ForReading",
                                    "OpenTextFile C:\\P\\a.vbp ForWriting",
                                    "AtEndOfStream C:\\P\\a.vbp_tmp",
                                    "ReadLine C:\\P\\a.vbp_tmp",
                                    "WriteLine C:\\P\\a.vbp",
                                    "AtEndOfStream C:\\P\\a.vbp_tmp",
                                    "ReadLine C:\\P\\a.vbp_tmp",
                                    "WriteLine C:\\P\\a.vbp",
                                    "AtEndOfStream C:\\P\\a.vbp_tmp",
                                    "Close C:\\P\\a.vbp_tmp",
                                    "Close C:\\P\\a.vbp",
                                    "DeleteFile C:\\P\\a.vbp_tmp",
                                }));
  EXPECT_EQ(files.CallCount(), 16);
  EXPECT_EQ(files.Trace().back().number, 16);
  EXPECT_EQ(files.Trace()[3].target, "C:\\P\\a.vbp_tmp");

  files.ClearTrace();
  files.FileExists("C:\\x");
  ASSERT_EQ(files.Trace().size(), 1u);
  EXPECT_EQ(files.Trace()[0].number, 17);
  EXPECT_EQ(files.CallCount(), 17);
}

TEST_F(FaultInjectingTest, TheChosenCallFailsWithoutReachingTheDisk) {
  pre.Scrivi("C:\\P\\a.vbp", "uno\r\n");
  files.FailCall(2, kAutorizzazioneNegata);
  files.CopyFile("C:\\P\\a.vbp", "C:\\P\\a.vbp_1");
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\a.vbp", "C:\\P\\a.vbp_2"); }), 70);
  EXPECT_FALSE(fs::exists(pre.Host("C:\\P\\a.vbp_2")));
  files.CopyFile("C:\\P\\a.vbp", "C:\\P\\a.vbp_3");  // once only
  EXPECT_EQ(files.CallCount(), 3);
  EXPECT_TRUE(files.Trace()[1].failed);
  EXPECT_FALSE(files.Trace()[2].failed);
  // Even the existence tests can be made to fail.
  files.FailCall(4, kErroreIo);
  EXPECT_EQ(ErroreDi([&] { files.FileExists("C:\\P\\a.vbp"); }), 57);
}

TEST_F(FaultInjectingTest, FailuresChosenByPathAndKind) {
  pre.Scrivi("C:\\P\\a.vbp", "uno\r\ndue\r\ntre\r\n");
  pre.Scrivi("C:\\P\\b.vbp", "uno\r\n");
  // The second call on a "_tmp" path: the reading open of the first rewrite.
  files.FailNthWithPath("_tmp", 2, kFileNonTrovato);
  EXPECT_EQ(ErroreDi([&] { Rewrite("C:\\P\\a.vbp"); }), 53);
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp"), "uno\r\ndue\r\ntre\r\n");
  EXPECT_TRUE(fs::exists(pre.Host("C:\\P\\a.vbp_tmp")));

  // The third line written to a.vbp fails: the file keeps the first two,
  // its copy keeps everything.
  files.ClearFaults();
  files.FailNthWithPath("a.vbp", 3, kDiscoPieno, Op::WriteLine);
  EXPECT_EQ(ErroreDi([&] { Rewrite("C:\\P\\a.vbp"); }), 61);
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp"), "uno!\r\ndue!\r\n");
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp_tmp"), "uno\r\ndue\r\ntre\r\n");

  // Other files are untouched by a fault aimed at one.
  Rewrite("C:\\P\\b.vbp");
  EXPECT_EQ(pre.Leggi("C:\\P\\b.vbp"), "uno!\r\n");
}

TEST_F(FaultInjectingTest, PersistentFaultsKeepFailing) {
  pre.Scrivi("C:\\P\\a.vbp", "x");
  FaultInjectingFileSystem::Fault f;
  f.error = kAutorizzazioneNegata;
  f.op = Op::CopyFile;
  f.pathContains = "_2";
  f.persistent = true;
  files.Inject(f);
  files.CopyFile("C:\\P\\a.vbp", "C:\\P\\a.vbp_1");
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\a.vbp", "C:\\P\\a.vbp_2"); }), 70);
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\a.vbp_2", "C:\\P\\a.vbp_3"); }), 70);
  EXPECT_TRUE(files.FileExists("C:\\P\\a.vbp_2") == false);
}

TEST_F(FaultInjectingTest, AStreamOutlivingAFailedCloseStillClosesAndFlushes) {
  files.FailNthWithPath("log.txt", 1, kErroreIo, Op::Close);
  {
    auto out = files.OpenTextFile("C:\\log.txt", IOMode::ForWriting, true);
    out->WriteLine("riga");
    EXPECT_EQ(ErroreDi([&] { out->Close(); }), 57);
  }
  EXPECT_EQ(pre.Leggi("C:\\log.txt"), "riga\r\n");
}

}  // namespace
}  // namespace cw
