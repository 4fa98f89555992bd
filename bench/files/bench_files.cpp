// Times a backup pass (four shifts and a fresh copy per project file) and a
// rewrite pass (RiscriviFile: copy to "_tmp" and flush it, read it back line
// by line into the file, delete the copy) over a tree of 148 project files of
// about 2 KB, through FileSystemLinux and Windows paths, as the commands make
// them.
//
//   cw_bench_files [--rounds N] [--floor PATH] [--floor-flush PATH] [--keep] [FOLDER]
//   cw_bench_files --only backup|rewrite FOLDER
//
// FOLDER (default: a new folder under /tmp) receives a Wine-style prefix.
// With --floor, the floor program (cc -O2 -o floor floor.c) runs on the same
// tree, interleaved with our passes, and the ratios are printed; with
// --floor-flush, so does the floor that makes the rewrite's flushes
// (bench/floor/floor_flush.c). Times are medians over the rounds; the ratio
// of the fastest rounds is printed too. --only runs one pass once on a tree
// left by --keep, for strace or perf.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/linux/filesystem_linux.h"
#include "projectfile/riscrivi_file.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kProjects = 148;
const std::string kRoot = "C:\\Progetti VB\\Wexo";

std::string ProjectName(int i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "Componente%03d", i);
  return buf;
}

// A project file of about 2 KB, in the shape the development environment writes.
std::string ProjectText(int i) {
  const std::string name = ProjectName(i);
  std::string t = "Type=OleDll\r\n";
  t += "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\WINDOWS\\system32\\stdole2.tlb#OLE "
       "Automation\r\n";
  for (int k = 0; k < 6; ++k) t += "Class=cls" + std::to_string(k) + "; cls" + name + std::to_string(k) + ".cls\r\n";
  t += "Module=modGlobale; modGlobale.bas\r\nStartup=\"(None)\"\r\nHelpFile=\"\"\r\n";
  t += "Title=\"" + name + "\"\r\nExeName32=\"" + name + ".dll\"\r\nPath32=\"..\\..\\Orbalis\\Componenti\"\r\n";
  t += "Command32=\"\"\r\nName=\"" + name + "\"\r\nHelpContextID=\"0\"\r\nCompatibleMode=\"2\"\r\n";
  t += "CompatibleEXE32=\"..\\..\\Orbalis\\Componenti\\" + name + ".dll\"\r\n";
  t += "MajorVer=3\r\nMinorVer=1\r\nRevisionVer=417\r\nAutoIncrementVer=0\r\nServerSupportFiles=0\r\n";
  t += "VersionComments=\"Componente della suite\"\r\nVersionCompanyName=\"Orbalis S.p.A.\"\r\n";
  t += "VersionLegalCopyright=\"Copyright \xA9 Orbalis\"\r\nVersionProductName=\"Orbalis\"\r\n";
  t += "CompilationType=0\r\nOptimizationType=0\r\nFavorPentiumPro(tm)=-1\r\nCodeViewDebugInfo=0\r\n";
  t += "NoAliasing=0\r\nBoundsCheck=0\r\nOverflowCheck=0\r\nFlPointCheck=0\r\nFDIVCheck=0\r\n";
  t += "UnroundedFP=0\r\nStartMode=1\r\nUnattended=0\r\nRetained=0\r\nThreadPerObject=0\r\n";
  t += "MaxNumberOfThreads=1\r\nThreadingModel=1\r\nDebugStartupOption=0\r\nDllBaseAddress=&H11000000\r\n";
  while (t.size() < 2000) t += "RemoveUnusedControlInfo=0\r\n";
  t += "\r\n[MS Transaction Server]\r\nAutoRefresh=1\r\n";
  return t;
}

std::vector<std::string> MakeTree(const fs::path& prefix) {
  fs::create_directories(prefix / "dosdevices");
  const fs::path root = prefix / "drive_c" / "Progetti VB" / "Wexo";
  fs::create_directories(root);
  std::error_code ec;
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:", ec);
  std::vector<std::string> projects;
  for (int i = 0; i < kProjects; ++i) {
    const std::string name = ProjectName(i);
    fs::create_directories(root / name);
    std::ofstream(root / name / (name + ".vbp"), std::ios::binary) << ProjectText(i);
    projects.push_back(kRoot + "\\" + name + "\\" + name + ".vbp");
  }
  return projects;
}

void BackupPass(cw::FileSystem& fso, const std::vector<std::string>& projects) {
  for (const auto& p : projects) {
    for (int k = 4; k >= 1; --k) {
      const std::string from = p + "_" + std::to_string(k);
      if (fso.FileExists(from)) fso.RenameFile(from, p + "_" + std::to_string(k + 1));
    }
    fso.CopyFileWholeFlushed(p, p + "_1");
  }
}

// Each pass writes a revision of its own into every file: a rewrite that
// would change nothing writes nothing.
void RewritePass(cw::FileSystem& fso, const std::vector<std::string>& projects) {
  static int revisione = 0;
  const cw::RegolaRiga regola = cw::RegolaPrefisso("RevisionVer=", std::to_string(++revisione % 2 + 417));
  for (const auto& p : projects) cw::RiscriviFile(fso, p, regola);
}

template <typename F>
double Millis(F&& f) {
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double RunFloor(const std::string& floor, const char* mode, const fs::path& root) {
  const std::string r = root.string();
  std::vector<char*> argv = {const_cast<char*>(floor.c_str()), const_cast<char*>(mode), const_cast<char*>(r.c_str()),
                             nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1 /* O_WRONLY */, 0);
  pid_t pid = 0;
  const auto t0 = Clock::now();
  if (posix_spawn(&pid, floor.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "cannot run %s\n", floor.c_str());
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  posix_spawn_file_actions_destroy(&actions);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The fastest round, which a machine shared with other work disturbs least.
double Best(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv) {
  int rounds = 21;
  std::string floor, floorFlush;
  bool keep = false;
  std::string only;
  fs::path folder;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--rounds" && i + 1 < argc)
      rounds = std::max(1, std::atoi(argv[++i]));
    else if (a == "--floor" && i + 1 < argc)
      floor = argv[++i];
    else if (a == "--floor-flush" && i + 1 < argc)
      floorFlush = argv[++i];
    else if (a == "--keep")
      keep = true;
    else if (a == "--only" && i + 1 < argc)
      only = argv[++i];
    else
      folder = a;
  }
  if (folder.empty()) {
    std::string tmpl = (fs::temp_directory_path() / "cw-bench-files-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    folder = tmpl;
  }
  if (!only.empty()) {
    std::vector<std::string> projects;
    for (int i = 0; i < kProjects; ++i)
      projects.push_back(kRoot + "\\" + ProjectName(i) + "\\" + ProjectName(i) + ".vbp");
    cw::FileSystemLinux fso{cw::DriveTable(folder)};
    const double ms = Millis([&] { only == "backup" ? BackupPass(fso, projects) : RewritePass(fso, projects); });
    std::printf("%s pass: %.2f ms\n", only.c_str(), ms);
    return 0;
  }
  const auto projects = MakeTree(folder);
  const fs::path hostRoot = folder / "drive_c" / "Progetti VB" / "Wexo";
  cw::FileSystemLinux fso{cw::DriveTable(folder)};

  // Five backups first, so every pass copies five generations.
  for (int i = 0; i < 5; ++i) BackupPass(fso, projects);
  RewritePass(fso, projects);

  std::vector<double> backup, rewrite, floorBackup, floorRewrite, floorStart, flushBackup, flushRewrite;
  const fs::path empty = folder / "empty";
  fs::create_directories(empty);
  for (int r = 0; r < rounds; ++r) {
    backup.push_back(Millis([&] { BackupPass(fso, projects); }));
    if (!floor.empty()) floorBackup.push_back(RunFloor(floor, "backup", hostRoot));
    if (!floorFlush.empty()) flushBackup.push_back(RunFloor(floorFlush, "backup", hostRoot));
    rewrite.push_back(Millis([&] { RewritePass(fso, projects); }));
    if (!floor.empty()) {
      floorRewrite.push_back(RunFloor(floor, "rewrite", hostRoot));
      floorStart.push_back(RunFloor(floor, "backup", empty));
    }
    if (!floorFlush.empty()) flushRewrite.push_back(RunFloor(floorFlush, "rewrite", hostRoot));
  }

  std::printf("%d project files, %d rounds, medians in ms\n", kProjects, rounds);
  std::printf("backup pass  (5 copies a file):                   %8.2f\n", Median(backup));
  std::printf("rewrite pass (copy, flush, read, write, delete):  %8.2f\n", Median(rewrite));
  if (!floor.empty()) {
    const double start = Median(floorStart);
    const double fb = Median(floorBackup), fr = Median(floorRewrite);
    std::printf("floor backup:   %8.2f   (start-up on an empty tree %.2f)\n", fb, start);
    std::printf("floor rewrite:  %8.2f\n", fr);
    std::printf("ratio backup:   %.2f   (%.2f against the floor less its start-up; best rounds %.2f)\n",
                Median(backup) / fb, Median(backup) / (fb - start), Best(backup) / Best(floorBackup));
    std::printf("ratio rewrite:  %.2f   (%.2f against the floor less its start-up; best rounds %.2f)\n",
                Median(rewrite) / fr, Median(rewrite) / (fr - start), Best(rewrite) / Best(floorRewrite));
  }
  if (!floorFlush.empty()) {
    const double fb = Median(flushBackup), fr = Median(flushRewrite);
    std::printf("flushing floor backup:  %8.2f   ratio %.2f   (best rounds %.2f)\n", fb, Median(backup) / fb,
                Best(backup) / Best(flushBackup));
    std::printf("flushing floor rewrite: %8.2f   ratio %.2f   (best rounds %.2f)\n", fr, Median(rewrite) / fr,
                Best(rewrite) / Best(flushRewrite));
  }
  if (!keep) {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  return 0;
}
