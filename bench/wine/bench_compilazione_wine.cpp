// The compile loop's own cost under Wine: CompilaProgetti over every row of
// a --wine sandbox, with the services the platform gives a front end,
// beside a plain shell loop starting the same command lines (as the
// stand-in recorded them) with `wine`. Warm wineserver. Goal: the tool's
// own cost at most 2 ms a row.
//
//   cw_bench_compile_wine [rounds]
//
// Run it from the build tree's bin folder (where the build puts it): the
// platform starts its Windows programs from "windows" there.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/command_line.h"
#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/servizi_piattaforma.h"
#include "sandbox_wine.h"
#include "support/ui_registrata.h"

namespace {

namespace fs = std::filesystem;
using cw::bench::Ms;
using cw::bench::Orologio;

// Far above any row's build: a stuck stand-in ends the run instead of
// holding it for ever.
constexpr std::uint32_t kLimiteRigaSecondi = 600;

// One command's compile loop, as a front end runs it: the services made,
// every row built, the services ended. Milliseconds, or a negative value
// when a row failed.
double CompilaUnGiro(const cw::CatalogoComponenti& catalogo) {
  const auto inizio = Orologio::now();
  {
    cw::ServiziPiattaforma servizi = cw::CreaServiziPiattaforma({.programma = "cw_bench_compile_wine"});
    if (!servizi.problema.empty()) {
      std::fprintf(stderr, "%s\n", servizi.problema.c_str());
      return -1;
    }
    cw::test::UiRegistrata ui;
    if (const auto fallita =
            cw::CompilaProgetti(*servizi.fso, catalogo, ui, *servizi.processi, -1, nullptr, kLimiteRigaSecondi)) {
      std::fprintf(stderr, "row %d failed: %s\n", *fallita, ui.log.empty() ? "" : ui.log.back().c_str());
      return -1;
    }
  }
  return Ms(Orologio::now() - inizio);
}

}  // namespace

int main(int argc, char** argv) try {
  const int giri = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  cw::CatalogoComponenti catalogo;
  cw::CaricaCatalogo(catalogo);
  const cw::bench::SandboxWine sandbox(catalogo);
  const fs::path registro = sandbox.Prefisso() / "drive_c" / "righe-comando.txt";
  const fs::path script = sandbox.Cartella() / "ciclo.sh";
  const fs::path uscita = sandbox.Cartella() / "ciclo.log";
  const int righe = catalogo.UBound() - catalogo.LBound() + 1;
  double nostro = 0, shell = 0;
  for (int g = 0; g < giri; ++g) {
    fs::remove(registro);
    ::setenv("CW_STANDIN_RIGHE_COMANDO", "C:\\righe-comando.txt", 1);
    const double giro = CompilaUnGiro(catalogo);
    ::unsetenv("CW_STANDIN_RIGHE_COMANDO");
    if (giro < 0) return 1;
    nostro += giro;

    // The same command lines, word for word as the stand-in received them.
    {
      std::ifstream in(registro);
      std::ofstream out(script);
      for (std::string riga; std::getline(in, riga);) {
        out << cw::test::ComandoWine();
        for (const auto& parola : cw::SplitCommandLine(riga)) out << ' ' << cw::bench::Virgolette(parola);
        out << " || exit 1\n";
      }
    }
    const auto inizio = Orologio::now();
    if (!cw::bench::Esegui("sh " + cw::bench::Virgolette(script.string()), uscita)) return 1;
    const double ciclo = Ms(Orologio::now() - inizio);
    shell += ciclo;
    std::printf("round %d: CompilaProgetti %.1f ms, shell loop %.1f ms\n", g + 1, giro, ciclo);
  }
  std::printf("%d rows through wine standin-vb6.exe, warm wineserver, means over %d rounds, ms\n", righe, giri);
  std::printf("CompilaProgetti:        %8.1f  (%.2f a row)\n", nostro / giri, nostro / giri / righe);
  std::printf("shell loop of wine:     %8.1f  (%.2f a row)\n", shell / giri, shell / giri / righe);
  std::printf("tool's own cost a row:  %8.2f  (goal: at most 2)\n", (nostro - shell) / giri / righe);
  return 0;
} catch (const std::exception& e) {
  std::fprintf(stderr, "cw_bench_compile_wine: %s\n", e.what());
  return 1;
}
