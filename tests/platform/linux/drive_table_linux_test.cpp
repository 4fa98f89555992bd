#include "platform/linux/drive_table_linux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/linux/filesystem_linux.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using State = DriveTable::Lookup::State;

// Sets an environment variable for one test and puts the old value back.
class Ambiente {
 public:
  Ambiente(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~Ambiente() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  Ambiente(const Ambiente&) = delete;
  Ambiente& operator=(const Ambiente&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A host path with the drive links followed, to compare with the prefix's own paths.
fs::path Canon(const std::optional<fs::path>& p) { return p ? fs::weakly_canonical(*p) : fs::path("<none>"); }
fs::path Canon(const fs::path& p) { return fs::weakly_canonical(p); }

TEST(DriveTablePrefix, WineprefixWinsAndHomeDotWineIsTheDefault) {
  test::PrefissoTemporaneo home;
  Ambiente h("HOME", home.Dir().c_str());
  {
    Ambiente w("WINEPREFIX", "/altrove/prefisso");
    EXPECT_EQ(DriveTable::FromEnvironment().Prefix(), fs::path("/altrove/prefisso"));
  }
  {
    Ambiente w("WINEPREFIX", "");
    EXPECT_EQ(DriveTable::FromEnvironment().Prefix(), home.Dir() / ".wine");
  }
  Ambiente w("WINEPREFIX", nullptr);
  EXPECT_EQ(DriveTable::FromEnvironment().Prefix(), home.Dir() / ".wine");

  // A prefix found through HOME is a working one.
  fs::create_directories(home.Dir() / ".wine" / "dosdevices");
  fs::create_directories(home.Dir() / ".wine" / "drive_c" / "Progetti VB");
  fs::create_directory_symlink("../drive_c", home.Dir() / ".wine" / "dosdevices" / "c:");
  std::ofstream(home.Dir() / ".wine" / "drive_c" / "Progetti VB" / "a.vbp") << "x";
  FileSystemLinux files(DriveTable::FromEnvironment());
  EXPECT_TRUE(files.FileExists("C:\\Progetti VB\\a.vbp"));
  EXPECT_FALSE(files.FileExists("D:\\Progetti VB\\a.vbp"));
}

TEST(DriveTableDrives, LinksMakeDrivesAndNothingElseDoes) {
  test::PrefissoTemporaneo pre;
  const DriveTable drives(pre.Dir());
  EXPECT_EQ(drives.DriveRoot('c'), pre.Dir() / "dosdevices" / "c:");
  EXPECT_EQ(drives.DriveRoot('C'), pre.Dir() / "dosdevices" / "c:");
  EXPECT_FALSE(drives.DriveRoot('e'));
  EXPECT_FALSE(drives.DriveRoot('1'));

  // An upper-case link name serves too; a dangling link is no drive.
  fs::create_directories(pre.Dir() / "drive_e" / "Dati");
  fs::create_directory_symlink("../drive_e", pre.Dir() / "dosdevices" / "E:");
  fs::create_directory_symlink("../manca", pre.Dir() / "dosdevices" / "f:");
  EXPECT_EQ(drives.DriveRoot('e'), pre.Dir() / "dosdevices" / "E:");
  EXPECT_FALSE(drives.DriveRoot('f'));
  EXPECT_TRUE(drives.Resolve("e:\\dati"));
  EXPECT_FALSE(drives.Resolve("F:\\"));
  EXPECT_EQ(drives.Find("F:\\x.txt").state, State::FolderMissing);
}

// The folders the drives stand for: each drive link's target, resolved,
// unless it holds the prefix (a window onto the host) or is no folder.
TEST(DriveTableDrives, TheDrivesFoldersLeaveOutTheHostsWindows) {
  test::PrefissoTemporaneo pre;
  test::CartellaTemporanea fuori;
  test::ScriviFile(pre.Dir() / "file", "x");
  const struct {
    const char* nome;
    fs::path bersaglio;
    bool elencata;
  } casi[] = {
      {"e:", fuori.Dir(), true},
      {"z:", "/", false},
      {"h:", pre.Dir().parent_path(), false},
      {"p:", pre.Dir(), false},
      {"f:", pre.Dir() / "manca", false},
      {"g:", pre.Dir() / "file", false},
      {"com1", fuori.Dir(), false},
      {"d::", fuori.Dir(), false},
  };
  std::vector<fs::path> attese = {fs::canonical(pre.Dir() / "drive_c"), fs::canonical(pre.Dir() / "drive_d")};
  for (const auto& c : casi) {
    fs::create_symlink(c.bersaglio, pre.Dir() / "dosdevices" / c.nome);
    if (c.elencata) attese.push_back(fs::canonical(c.bersaglio));
  }
  std::vector<fs::path> cartelle = DriveTable(pre.Dir()).CartelleUnita();
  std::sort(cartelle.begin(), cartelle.end());
  std::sort(attese.begin(), attese.end());
  EXPECT_EQ(cartelle, attese);
}

TEST(DriveTablePaths, OnlyDriveLetterPathsMap) {
  EXPECT_TRUE(DriveTable::IsDrivePath("C:\\Progetti VB"));
  EXPECT_TRUE(DriveTable::IsDrivePath("c:/progetti"));
  EXPECT_TRUE(DriveTable::IsDrivePath("D:"));
  for (const char* p : {"", "C", "C:foo", "CC:\\x", "1:\\x", "\\\\server\\share\\x", "\\Progetti", "Progetti\\a"})
    EXPECT_FALSE(DriveTable::IsDrivePath(p)) << p;

  test::PrefissoTemporaneo pre;
  pre.Scrivi("C:\\Progetti\\a.vbp", "x");
  const DriveTable drives(pre.Dir());
  EXPECT_FALSE(drives.Resolve("Progetti\\a.vbp"));
  static constexpr char kConNul[] = "C:\\Progetti\\a.vbp\0x";
  EXPECT_FALSE(drives.Resolve(std::string_view(kConNul, sizeof kConNul - 1)));
  EXPECT_TRUE(drives.Resolve(std::string_view(kConNul, sizeof kConNul - 3)));
}

TEST(DriveTablePaths, SeparatorsDotsAndTrailingSeparators) {
  test::PrefissoTemporaneo pre;
  pre.Scrivi("C:\\Progetti\\Uno\\a.vbp", "x");
  std::ofstream(pre.Dir() / "fuori.txt") << "x";  // beside the drives, never reachable
  const DriveTable drives(pre.Dir());
  const fs::path a = pre.Host("C:\\Progetti\\Uno\\a.vbp");
  for (const char* p : {"C:\\Progetti\\Uno\\a.vbp", "C:/Progetti/Uno/a.vbp", "C:\\Progetti/Uno\\a.vbp",
                        "C:\\\\Progetti\\\\Uno\\a.vbp", "C:\\Progetti\\Uno\\a.vbp\\", "C:\\Progetti\\.\\Uno\\a.vbp",
                        "C:\\Progetti\\Due\\..\\Uno\\a.vbp", "C:\\..\\..\\Progetti\\Uno\\a.vbp"}) {
    const auto r = drives.Resolve(p);
    ASSERT_TRUE(r) << p;
    EXPECT_TRUE(fs::equivalent(*r, a)) << p;
  }
  // ".." stops at the drive root: the prefix around the drives stays out of reach.
  EXPECT_FALSE(drives.Resolve("C:\\..\\fuori.txt"));
  EXPECT_FALSE(drives.Resolve("C:\\..\\..\\fuori.txt"));
  EXPECT_TRUE(fs::equivalent(*drives.Resolve("C:\\.."), pre.Host("C:\\")));
}

TEST(DriveTableCase, ComponentsMatchIgnoringCase) {
  test::PrefissoTemporaneo pre;
  pre.Scrivi("C:\\Progetti VB\\Wexo\\Orbalis\\FORM\\frmMain.frm", "x");
  pre.Scrivi("C:\\Società\\Perché.txt", "x");
  const DriveTable drives(pre.Dir());

  const auto form = drives.Resolve("C:\\Progetti VB\\Wexo\\Orbalis\\Form");
  ASSERT_TRUE(form);
  EXPECT_EQ(Canon(form), pre.Host("C:\\Progetti VB\\Wexo\\Orbalis\\FORM"));
  const auto frm = drives.Resolve("c:\\PROGETTI vb\\wexo\\ORBALIS\\form\\FRMMAIN.FRM");
  ASSERT_TRUE(frm);
  EXPECT_EQ(Canon(frm), pre.Host("C:\\Progetti VB\\Wexo\\Orbalis\\FORM\\frmMain.frm"));

  // Accented letters of the code page fold too.
  const auto perche = drives.Resolve("C:\\SOCIETÀ\\perchÉ.TXT");
  ASSERT_TRUE(perche);
  EXPECT_EQ(Canon(perche), pre.Host("C:\\Società\\Perché.txt"));

  EXPECT_FALSE(drives.Resolve("C:\\Progetti VB\\Wexo\\Orbalis\\Forms"));
}

TEST(DriveTableCase, AnExactEntryWinsOverCaseVariants) {
  test::PrefissoTemporaneo pre;
  pre.Scrivi("C:\\P\\Form\\a.frm", "exact");
  pre.Scrivi("C:\\P\\FORM\\a.frm", "upper");
  pre.Scrivi("C:\\P\\form\\b.frm", "lower");
  const DriveTable drives(pre.Dir());
  EXPECT_EQ(Canon(drives.Resolve("C:\\P\\Form")), pre.Host("C:\\P\\Form"));
  EXPECT_EQ(Canon(drives.Resolve("C:\\P\\form")), pre.Host("C:\\P\\form"));
  // No exact entry: the smallest of the variants, whatever the directory order.
  EXPECT_EQ(Canon(drives.Resolve("C:\\P\\fORM")), pre.Host("C:\\P\\FORM"));
  // The exact folder is taken even when only a variant holds the file.
  EXPECT_FALSE(drives.Resolve("C:\\P\\form\\a.frm"));
}

TEST(DriveTableLookup, StatesAndNamesForNewFiles) {
  test::PrefissoTemporaneo pre;
  pre.Scrivi("C:\\Progetti\\Orbalis.vbp", "x");
  const DriveTable drives(pre.Dir());

  const auto found = drives.Find("c:\\progetti\\orbalis.VBP");
  EXPECT_EQ(found.state, State::Found);
  EXPECT_TRUE(S_ISREG(found.mode));
  EXPECT_TRUE(S_ISDIR(drives.Find("C:\\").mode));

  // A new file takes the case it was given, in the folder as it is on disk.
  const auto nuovo = drives.Find("C:\\PROGETTI\\Orbalis.vbp_TMP");
  EXPECT_EQ(nuovo.state, State::LeafMissing);
  EXPECT_EQ(Canon(nuovo.host), pre.Host("C:\\Progetti\\Orbalis.vbp_TMP"));
  EXPECT_EQ(Canon(drives.ResolveForCreate("C:\\PROGETTI\\Orbalis.vbp_TMP")), pre.Host("C:\\Progetti\\Orbalis.vbp_TMP"));
  // ...unless an entry matching ignoring case is there: it keeps its name.
  EXPECT_EQ(Canon(drives.ResolveForCreate("C:\\Progetti\\ORBALIS.VBP")), pre.Host("C:\\Progetti\\Orbalis.vbp"));

  EXPECT_EQ(drives.Find("C:\\Manca\\a.vbp").state, State::FolderMissing);
  EXPECT_FALSE(drives.ResolveForCreate("C:\\Manca\\a.vbp"));
  // A file where a folder is needed is a missing folder.
  EXPECT_EQ(drives.Find("C:\\Progetti\\Orbalis.vbp\\a").state, State::FolderMissing);
  EXPECT_EQ(drives.Find("C:\\progetti\\ORBALIS.vbp\\a").state, State::FolderMissing);
}

}  // namespace
}  // namespace cw
