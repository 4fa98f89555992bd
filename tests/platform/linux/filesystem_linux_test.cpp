#include "platform/linux/filesystem_linux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "base/errors.h"
#include "support/errore.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

using test::ErroreDi;

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
  return out;
}

void MakeReadOnly(const fs::path& p) {
  fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

bool IsReadOnly(const fs::path& p) {
  const auto perms = fs::status(p).permissions();
  return (perms & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) == fs::perms::none;
}

class FileSystemLinuxTest : public ::testing::Test {
 protected:
  test::PrefissoTemporaneo pre;
  FileSystemLinux files{DriveTable(pre.Dir())};
};

TEST_F(FileSystemLinuxTest, ExistenceTestsNeverFail) {
  pre.Scrivi("C:\\Progetti\\Orbalis.vbp", "x");
  EXPECT_TRUE(files.FileExists("C:\\Progetti\\Orbalis.vbp"));
  EXPECT_TRUE(files.FileExists("c:\\PROGETTI\\orbalis.vbp"));
  EXPECT_FALSE(files.FileExists("C:\\Progetti"));
  EXPECT_TRUE(files.FolderExists("C:\\Progetti"));
  EXPECT_TRUE(files.FolderExists("C:\\progetti\\"));
  EXPECT_TRUE(files.FolderExists("C:\\"));
  EXPECT_TRUE(files.FolderExists("D:"));
  EXPECT_FALSE(files.FolderExists("C:\\Progetti\\Orbalis.vbp"));
  for (const char* p : {"C:\\Progetti\\Manca.vbp", "C:\\Manca\\Orbalis.vbp", "E:\\Progetti\\Orbalis.vbp",
                        "Progetti\\Orbalis.vbp", "", "C:\\Progetti\\Orbalis.vbp\\x"}) {
    EXPECT_FALSE(files.FileExists(p)) << p;
    EXPECT_FALSE(files.FolderExists(p)) << p;
  }
  EXPECT_FALSE(files.FolderExists("E:\\"));
}

TEST_F(FileSystemLinuxTest, MissingFilesFoldersAndDrives) {
  pre.Scrivi("C:\\P\\a.vbp", "x");
  fs::create_directories(pre.Host("C:\\P\\Form"));
  // A missing file in an existing folder: 53.
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\b.vbp", IOMode::ForReading); }), 53);
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\b.vbp", IOMode::ForWriting, false); }), 53);
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\b.vbp", "C:\\P\\c.vbp"); }), 53);
  EXPECT_EQ(ErroreDi([&] { files.DeleteFile("C:\\P\\b.vbp"); }), 53);
  EXPECT_EQ(ErroreDi([&] { files.FlushFile("C:\\P\\b.vbp"); }), 53);
  EXPECT_EQ(ErroreDi([&] { files.FlushFile("C:\\P\\a.vbp"); }), 0);
  // A missing folder, drive or non-drive path: 76.
  for (const char* p : {"C:\\Q\\a.vbp", "E:\\P\\a.vbp", "P\\a.vbp", "C:\\P\\a.vbp\\x"}) {
    EXPECT_EQ(ErroreDi([&] { files.OpenTextFile(p, IOMode::ForReading); }), 76) << p;
    EXPECT_EQ(ErroreDi([&] { files.OpenTextFile(p, IOMode::ForWriting, true); }), 76) << p;
    EXPECT_EQ(ErroreDi([&] { files.CopyFile(p, "C:\\P\\c.vbp"); }), 76) << p;
    EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\a.vbp", p); }), 76) << p;
    EXPECT_EQ(ErroreDi([&] { files.DeleteFile(p); }), 76) << p;
    EXPECT_EQ(ErroreDi([&] { files.GetFolder(p); }), 76) << p;
    EXPECT_EQ(ErroreDi([&] { files.FlushFile(p); }), 76) << p;
  }
  // A folder where a file is needed: 75.
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\Form", IOMode::ForReading); }), 75);
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\Form", IOMode::ForWriting, true); }), 75);
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\Form", "C:\\P\\c.vbp"); }), 75);
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\a.vbp", "C:\\P\\form"); }), 75);
  EXPECT_EQ(ErroreDi([&] { files.DeleteFile("C:\\P\\Form"); }), 75);
  EXPECT_EQ(ErroreDi([&] { files.FlushFile("C:\\P\\Form"); }), 75);
  EXPECT_TRUE(fs::is_directory(pre.Host("C:\\P\\Form")));
  EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"a.vbp", "Form"}));
}

TEST_F(FileSystemLinuxTest, CopyReplacesTheDestinationAndKeepsTheSource) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  pre.Scrivi("C:\\P\\Orbalis.vbp", bytes);
  files.CopyFile("C:\\P\\Orbalis.vbp", "C:\\P\\Orbalis.vbp_1");
  EXPECT_EQ(pre.Leggi("C:\\P\\Orbalis.vbp_1"), bytes);

  pre.Scrivi("C:\\P\\Orbalis.vbp_2", "a much longer older generation that must vanish entirely");
  files.CopyFile("C:\\P\\Orbalis.vbp_1", "C:\\P\\Orbalis.vbp_2", true);
  EXPECT_EQ(pre.Leggi("C:\\P\\Orbalis.vbp_2"), bytes);
  EXPECT_EQ(pre.Leggi("C:\\P\\Orbalis.vbp"), bytes);
  // ...and a shorter one grows to the source's length.
  pre.Scrivi("C:\\P\\Orbalis.vbp_3", "short");
  files.CopyFile("C:\\P\\Orbalis.vbp", "C:\\P\\Orbalis.vbp_3");
  EXPECT_EQ(pre.Leggi("C:\\P\\Orbalis.vbp_3"), bytes);

  // Copying a file onto itself leaves it whole.
  files.CopyFile("C:\\P\\Orbalis.vbp", "c:\\p\\ORBALIS.VBP");
  EXPECT_EQ(pre.Leggi("C:\\P\\Orbalis.vbp"), bytes);

  // An empty file copies to an empty file.
  pre.Scrivi("C:\\P\\vuoto.vbp", "");
  files.CopyFile("C:\\P\\vuoto.vbp", "C:\\P\\vuoto.vbp_1");
  EXPECT_EQ(pre.Leggi("C:\\P\\vuoto.vbp_1"), "");

  // Nothing but the copies is left in the folder.
  EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"Orbalis.vbp", "Orbalis.vbp_1", "Orbalis.vbp_2",
                                                               "Orbalis.vbp_3", "vuoto.vbp", "vuoto.vbp_1"}));
}

TEST_F(FileSystemLinuxTest, CopyNamesFollowTheDiskThenTheCaller) {
  pre.Scrivi("C:\\P\\Orbalis.vbp", "new");
  pre.Scrivi("C:\\P\\orbalis.VBP_1", "old");
  files.CopyFile("C:\\p\\ORBALIS.vbp", "C:\\P\\Orbalis.vbp_1");
  files.CopyFile("C:\\P\\Orbalis.vbp", "C:\\p\\Orbalis.Vbp_Tmp");
  EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"Orbalis.vbp", "orbalis.VBP_1", "Orbalis.Vbp_Tmp"}));
  EXPECT_EQ(pre.Leggi("C:\\P\\orbalis.VBP_1"), "new");
}

TEST_F(FileSystemLinuxTest, CopyWithoutOverwriteRefusesAnExistingFile) {
  pre.Scrivi("C:\\P\\a.vbp", "new");
  pre.Scrivi("C:\\P\\a.vbp_1", "old");
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\a.vbp", "C:\\P\\A.VBP_1", false); }), 58);
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp_1"), "old");
  files.CopyFile("C:\\P\\a.vbp", "C:\\P\\a.vbp_2", false);
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp_2"), "new");
}

TEST_F(FileSystemLinuxTest, CopyKeepsTheReadOnlyAttribute) {
  pre.Scrivi("C:\\P\\a.vbp", "x");
  pre.Scrivi("C:\\P\\b.vbp", "x");
  MakeReadOnly(pre.Host("C:\\P\\a.vbp"));
  files.CopyFile("C:\\P\\a.vbp", "C:\\P\\a.vbp_tmp");
  EXPECT_TRUE(IsReadOnly(pre.Host("C:\\P\\a.vbp_tmp")));
  files.CopyFile("C:\\P\\b.vbp", "C:\\P\\b.vbp_tmp");
  EXPECT_FALSE(IsReadOnly(pre.Host("C:\\P\\b.vbp_tmp")));
  // Onto an existing file too; a writable source leaves its bits alone.
  files.CopyFile("C:\\P\\a.vbp", "C:\\P\\b.vbp");
  EXPECT_TRUE(IsReadOnly(pre.Host("C:\\P\\b.vbp")));
  fs::permissions(pre.Host("C:\\P\\a.vbp_tmp"), fs::perms::owner_write, fs::perm_options::add);
  fs::permissions(pre.Host("C:\\P\\b.vbp_tmp"), fs::perms::owner_all | fs::perms::group_read);
  files.CopyFile("C:\\P\\a.vbp_tmp", "C:\\P\\b.vbp_tmp");
  EXPECT_EQ(fs::status(pre.Host("C:\\P\\b.vbp_tmp")).permissions(), fs::perms::owner_all | fs::perms::group_read);
}

// CI runs as root, who may write anything: these hold for root too.
TEST_F(FileSystemLinuxTest, ReadOnlyFilesRefuseWritesButNotForcedDeletes) {
  pre.Scrivi("C:\\P\\a.vbp", "new");
  pre.Scrivi("C:\\P\\ro.vbp", "read-only bytes\r\n");
  const fs::path ro = pre.Host("C:\\P\\ro.vbp");
  MakeReadOnly(ro);

  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\a.vbp", "C:\\P\\ro.vbp"); }), 70);
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\RO.vbp", IOMode::ForWriting, true); }), 70);
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\ro.vbp", IOMode::ForAppending, true); }), 70);
  EXPECT_EQ(ErroreDi([&] { files.DeleteFile("C:\\P\\ro.vbp", false); }), 70);
  EXPECT_EQ(pre.Leggi("C:\\P\\ro.vbp"), "read-only bytes\r\n");
  EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"a.vbp", "ro.vbp"}));

  // Reading and copying from it are fine.
  EXPECT_EQ(files.OpenTextFile("C:\\P\\ro.vbp", IOMode::ForReading)->ReadLine(), "read-only bytes");
  files.CopyFile("C:\\P\\ro.vbp", "C:\\P\\ro.vbp_1");

  files.DeleteFile("C:\\P\\ro.vbp");
  EXPECT_FALSE(fs::exists(ro));
  files.DeleteFile("C:\\P\\RO.VBP_1", true);
  EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"a.vbp"}));
}

TEST_F(FileSystemLinuxTest, AFailingCopyLeavesTheDestinationAsItWas) {
  // Reading /proc/self/mem at offset 0 fails with EIO: a source that opens
  // but cannot be read.
  pre.Scrivi("C:\\P\\a.vbp_1", "generation one");
  fs::create_symlink("/proc/self/mem", pre.Host("C:\\P\\guasto.vbp"));
  ASSERT_TRUE(files.FileExists("C:\\P\\guasto.vbp"));
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\guasto.vbp", "C:\\P\\a.vbp_1"); }), 57);
  EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp_1"), "generation one");
  EXPECT_EQ(ErroreDi([&] { files.CopyFile("C:\\P\\guasto.vbp", "C:\\P\\nuovo.vbp"); }), 57);
  EXPECT_EQ(ErroreDi([&] { files.OpenTextFile("C:\\P\\guasto.vbp", IOMode::ForReading); }), 57);
  EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"a.vbp_1", "guasto.vbp"}));
}

TEST_F(FileSystemLinuxTest, DeleteRemovesOneFile) {
  pre.Scrivi("C:\\P\\a.vbp", "x");
  pre.Scrivi("C:\\P\\a.vbp_tmp", "x");
  files.DeleteFile("C:\\p\\A.VBP_TMP", false);
  EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"a.vbp"}));
  // Wildcards are not patterns here: "*" is a name.
  EXPECT_EQ(ErroreDi([&] { files.DeleteFile("C:\\P\\*.vbp"); }), 53);
}

TEST_F(FileSystemLinuxTest, GetFolderListsTheFilesDirectlyInside) {
  pre.Scrivi("C:\\P\\Form\\frmA.frm", "x");
  pre.Scrivi("C:\\P\\Form\\frmA.frx", "x");
  pre.Scrivi("C:\\P\\Form\\frmB.FRM", "x");
  pre.Scrivi("C:\\P\\Form\\Vecchi\\frmC.frm", "x");
  fs::create_symlink("frmA.frm", pre.Host("C:\\P\\Form\\link.frm"));
  fs::create_directory_symlink("Vecchi", pre.Host("C:\\P\\Form\\linkdir"));

  const FolderListing f = files.GetFolder("C:\\P\\form\\");
  EXPECT_EQ(f.Path, "C:\\P\\form");
  EXPECT_EQ(std::set<std::string>(f.FileNames.begin(), f.FileNames.end()),
            (std::set<std::string>{"frmA.frm", "frmA.frx", "frmB.FRM", "link.frm"}));
  // In the order the directory gives them.
  std::vector<std::string> order;
  for (const auto& e : fs::directory_iterator(pre.Host("C:\\P\\Form")))
    if (e.is_regular_file()) order.push_back(e.path().filename().string());
  EXPECT_EQ(f.FileNames, order);

  EXPECT_EQ(files.GetFolder("C:\\P\\Form\\Vecchi").FileNames, std::vector<std::string>{"frmC.frm"});
  EXPECT_TRUE(files.GetFolder("C:\\P\\Form\\Vecchi\\..\\..").FileNames.empty());
  EXPECT_EQ(files.GetFolder("C:\\").Path, "C:\\");
  EXPECT_EQ(files.GetFolder("D:").Path, "D:\\");
  EXPECT_EQ(ErroreDi([&] { files.GetFolder("C:\\P\\Form\\frmA.frm"); }), 76);
}

TEST_F(FileSystemLinuxTest, LargeFilesCopyWhole) {
  std::string big;
  for (int i = 0; big.size() < 5 * 1024 * 1024; ++i) big += "Begin VB.Label lbl" + std::to_string(i) + "\r\n";
  pre.Scrivi("C:\\P\\Grande.frm", big);
  files.CopyFile("C:\\P\\Grande.frm", "C:\\P\\Grande.frm_tmp");
  EXPECT_EQ(pre.Leggi("C:\\P\\Grande.frm_tmp"), big);
  files.CopyFile("C:\\P\\Grande.frm_tmp", "C:\\P\\Grande.frm_tmp");
  EXPECT_EQ(pre.Leggi("C:\\P\\Grande.frm_tmp"), big);
}

TEST_F(FileSystemLinuxTest, BothWholeCopiesReplaceInOneStepAndLeaveNothingBeside) {
  const struct {
    const char* nome;
    void (FileSystemLinux::*copia)(std::string_view, std::string_view);
  } kCopie[] = {{"CopyFileWhole", &FileSystemLinux::CopyFileWhole},
                {"CopyFileWholeFlushed", &FileSystemLinux::CopyFileWholeFlushed}};
  for (const auto& c : kCopie) {
    SCOPED_TRACE(c.nome);
    fs::remove_all(pre.Host("C:\\P"));
    pre.Scrivi("C:\\P\\a.vbp", "new");
    MakeReadOnly(pre.Host("C:\\P\\a.vbp"));
    pre.Scrivi("C:\\P\\a.vbp_tmp", "old");
    pre.Scrivi("C:\\P\\a.vbp_tmp~", "left by a kill");
    (files.*c.copia)("C:\\P\\a.vbp", "C:\\p\\A.VBP_TMP");
    EXPECT_EQ(pre.Leggi("C:\\P\\a.vbp_tmp"), "new");
    EXPECT_FALSE(IsReadOnly(pre.Host("C:\\P\\a.vbp_tmp")));
    EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"a.vbp", "a.vbp_tmp"}));
    pre.Scrivi("C:\\P\\ro.vbp_1", "kept");
    MakeReadOnly(pre.Host("C:\\P\\ro.vbp_1"));
    EXPECT_EQ(ErroreDi([&] { (files.*c.copia)("C:\\P\\a.vbp", "C:\\P\\ro.vbp_1"); }), 70);
    EXPECT_EQ(pre.Leggi("C:\\P\\ro.vbp_1"), "kept");
    EXPECT_EQ(ErroreDi([&] { (files.*c.copia)("C:\\P\\a.vbp", "C:\\Manca\\a.vbp_tmp"); }), 76);
    EXPECT_EQ(ErroreDi([&] { (files.*c.copia)("C:\\P\\manca.vbp", "C:\\P\\manca.vbp_tmp"); }), 53);
    EXPECT_EQ(Entries(pre.Host("C:\\P")), (std::set<std::string>{"a.vbp", "a.vbp_tmp", "ro.vbp_1"}));
  }
}

}  // namespace
}  // namespace cw
