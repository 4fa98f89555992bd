// The compile loop's own cost under Wine: CompilaProgetti over every row of
// a --wine sandbox through `wine standin-vb6.exe`, beside a plain shell loop
// starting the same command lines (as the stand-in recorded them) with
// `wine`. Warm wineserver. Goal: the tool's own cost at most 2 ms a row.
//
//   cw_bench_compile_wine [rounds]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/command_line.h"
#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/filesystem_linux.h"
#include "platform/linux/processes_linux.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"
#include "support/ui_registrata.h"

namespace {

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

double Ms(Orologio::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string Virgolette(const std::string& parola) {
  std::string out = "'";
  for (char c : parola) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

int main(int argc, char** argv) {
  const int giri = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  cw::test::CartellaTemporanea cartella;
  const fs::path prefisso = cartella.Dir() / "sandbox";
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
  cw::CatalogoComponenti catalogo;
  cw::CaricaCatalogo(catalogo);
  cw::sandbox::CreaSandbox(prefisso, catalogo, {.programmiWindows = CW_WINDOWS_BIN_DIR});
  const std::string ambiente = "WINEPREFIX='" + prefisso.string() + "' ";
  std::system((ambiente + "wineserver -p >/dev/null 2>&1").c_str());

  const fs::path registro = prefisso / "drive_c" / "righe-comando.txt";
  ::setenv("CW_STANDIN_RIGHE_COMANDO", "C:\\righe-comando.txt", 1);
  const cw::DriveTable unita(prefisso);
  const int righe = catalogo.UBound() - catalogo.LBound() + 1;
  double nostro = 0, shell = 0;
  for (int g = 0; g < giri; ++g) {
    fs::remove(registro);
    cw::FileSystemLinux fso(unita);
    cw::ProcessesLinux processi(unita);
    cw::test::UiRegistrata ui;
    auto inizio = Orologio::now();
    if (cw::CompilaProgetti(fso, catalogo, ui, processi)) return 1;
    nostro += Ms(Orologio::now() - inizio);

    // The same command lines, word for word as the stand-in received them.
    const fs::path script = cartella.Dir() / "ciclo.sh";
    {
      std::ifstream in(registro);
      std::ofstream out(script);
      for (std::string riga; std::getline(in, riga);) {
        out << "wine";
        for (const auto& parola : cw::SplitCommandLine(riga)) out << ' ' << Virgolette(parola);
        out << " || exit 1\n";
      }
    }
    ::unsetenv("CW_STANDIN_RIGHE_COMANDO");
    inizio = Orologio::now();
    if (std::system((ambiente + "sh '" + script.string() + "' >/dev/null 2>&1 </dev/null").c_str()) != 0) return 1;
    shell += Ms(Orologio::now() - inizio);
    ::setenv("CW_STANDIN_RIGHE_COMANDO", "C:\\righe-comando.txt", 1);
  }
  std::system((ambiente + "wineserver -k >/dev/null 2>&1").c_str());
  std::printf("%d rows through wine standin-vb6.exe, warm wineserver, means over %d rounds, ms\n", righe, giri);
  std::printf("CompilaProgetti:        %8.1f  (%.2f a row)\n", nostro / giri, nostro / giri / righe);
  std::printf("shell loop of wine:     %8.1f  (%.2f a row)\n", shell / giri, shell / giri / righe);
  std::printf("tool's own cost a row:  %8.2f\n", (nostro - shell) / giri / righe);
  return 0;
}
