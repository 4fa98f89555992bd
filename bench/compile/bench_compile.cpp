// Times CompilaProgetti over the program's 148-row catalogue with the
// stand-in development environment doing nothing but reporting success
// (CW_STANDIN_VB6_NOOP=1), beside a shell script that starts the same
// stand-in with the same 148 command lines one after the other. The
// difference is what the loop itself costs a row: the command line, the
// drive-table lookup of the program, the start through the process service,
// the wait, the error file opened and read, the log lines.
//
//   cw_bench_compile [--rounds N] [--standin PATH]
//
// A scratch prefix is made under /tmp with the stand-in linked in as
// "C:\Programmi\Microsoft Visual Studio\VB98\VB6.EXE". Times are medians over
// the rounds, ours and the shell's interleaved.

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

#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/linux/filesystem_linux.h"
#include "platform/linux/processi_linux.h"

#include "ui_muta.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using cw::bench::UiMuta;

// A Windows path of drive C: as its host path in the prefix.
fs::path Host(const fs::path& prefisso, std::string windows) {
  std::replace(windows.begin(), windows.end(), '\\', '/');
  return prefisso / "drive_c" / windows.substr(3);
}

std::string Virgolette(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int giri = 9;
  std::string standin = CW_STANDIN_VB6;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--rounds" && i + 1 < argc)
      giri = std::max(1, std::atoi(argv[++i]));
    else if (a == "--standin" && i + 1 < argc)
      standin = argv[++i];
    else {
      std::fprintf(stderr, "uso: %s [--rounds N] [--standin PATH]\n", argv[0]);
      return 2;
    }
  }

  std::string modello = (fs::temp_directory_path() / "cw-bench-compile-XXXXXX").string();
  if (!mkdtemp(modello.data())) return 1;
  const fs::path prefisso = modello;
  fs::create_directories(prefisso / "dosdevices");
  fs::create_directories(prefisso / "drive_c");
  fs::create_directory_symlink("../drive_c", prefisso / "dosdevices" / "c:");
  const fs::path vb6 = Host(prefisso, cw::kAmbienteSviluppo);
  fs::create_directories(vb6.parent_path());
  fs::create_symlink(fs::canonical(standin), vb6);
  fs::create_directories(Host(prefisso, cw::kCartellaOutputComponenti));
  fs::create_directories(Host(prefisso, cw::kRadiceSorgenti));
  setenv("WINEPREFIX", prefisso.c_str(), 1);
  setenv("CW_STANDIN_VB6_NOOP", "1", 1);

  cw::CatalogoComponenti catalogo;
  cw::CaricaCatalogo(catalogo);
  const int righe = catalogo.UBound() - catalogo.LBound() + 1;

  // The shell's side: the same program, the same words, one row a line.
  const fs::path script = prefisso / "loop.sh";
  {
    std::ofstream s(script);
    s << "rm -f " << Virgolette(Host(prefisso, cw::kFileErroriCompilazione).string()) << "\n";
    for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i)
      s << Virgolette(vb6.string()) << " /make " << Virgolette(catalogo.FileProgettoCompleto(i)) << " /outdir "
        << Virgolette(catalogo(i, cw::kCartellaOutput)) << " /out " << Virgolette(cw::kFileErroriCompilazione) << "\n";
  }
  auto Shell = [&] {
    const std::string sh = "/bin/sh", percorso = script.string();
    char* args[] = {const_cast<char*>(sh.c_str()), const_cast<char*>(percorso.c_str()), nullptr};
    pid_t pid = 0;
    const auto t0 = Clock::now();
    if (posix_spawn(&pid, sh.c_str(), nullptr, nullptr, args, environ) != 0) std::exit(1);
    int stato = 0;
    waitpid(pid, &stato, 0);
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  };

  cw::FileSystemLinux fso{cw::DriveTable(prefisso)};
  cw::ProcessiLinux processi{cw::DriveTable(prefisso)};
  UiMuta ui;
  auto Nostro = [&] {
    ui.LogClear();
    const auto t0 = Clock::now();
    const auto fallita = cw::CompilaProgetti(fso, catalogo, ui, processi);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    if (fallita || ui.LogCount() != righe) {
      std::fprintf(stderr, "the walk did not build every row (%d lines)\n", ui.LogCount());
      std::exit(1);
    }
    return ms;
  };

  Nostro();  // warm the caches
  Shell();
  std::vector<double> nostri, shell;
  for (int g = 0; g < giri; ++g) {
    nostri.push_back(Nostro());
    shell.push_back(Shell());
  }
  const double n = Mediana(nostri), s = Mediana(shell);
  std::printf("rows %d, rounds %d (medians)\n", righe, giri);
  std::printf("CompilaProgetti   %8.1f ms   %6.3f ms/row\n", n, n / righe);
  std::printf("shell loop        %8.1f ms   %6.3f ms/row\n", s, s / righe);
  std::printf("loop's own cost   %8.1f ms   %6.3f ms/row   (goal: at most 2 ms/row)\n", n - s, (n - s) / righe);

  std::error_code ec;
  fs::remove_all(prefisso, ec);
  return 0;
}
