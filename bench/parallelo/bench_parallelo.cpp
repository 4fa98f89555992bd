// The compile of the 148 sandbox rows one build at a time (CompilaProgetti)
// beside several at once (CompilaInParallelo), each build taking a fixed time
// (CW_STANDIN_MS, 200 ms by default) so that wall-clock figures mean something
// on a machine of few cores. The stand-in checks the order of every round
// (CW_STANDIN_INIZIO): a row built before a row it references fails the
// round. Goal: --paralleli 4 in at most a third of the sequential time.
//
//   cw_bench_parallelo [--rounds N] [--ms MS] [--paralleli N]
//
// Times are medians over the rounds, the two runs interleaved.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "build/compila.h"
#include "build/compila_parallelo.h"
#include "catalogue/catalogo.h"
#include "platform/linux/filesystem_linux.h"
#include "platform/linux/processi_linux.h"
#include "sandbox.h"
#include "ui_muta.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int giri = 3, paralleli = 4;
  std::string ms = "200";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--rounds")
      giri = std::max(1, std::atoi(argv[i + 1]));
    else if (a == "--ms")
      ms = argv[i + 1];
    else if (a == "--paralleli")
      paralleli = std::max(1, std::atoi(argv[i + 1]));
  }
  std::string modello = (fs::temp_directory_path() / "cw-bench-parallelo-XXXXXX").string();
  if (!mkdtemp(modello.data())) return 1;
  const fs::path prefisso = modello;
  cw::CatalogoComponenti catalogo;
  cw::CaricaCatalogo(catalogo);
  cw::sandbox::OpzioniSandbox opzioni;
  opzioni.installa.push_back({cw::sandbox::kVb6, CW_STANDIN_VB6, true});
  cw::sandbox::CreaSandbox(prefisso, catalogo, opzioni);
  setenv("WINEPREFIX", prefisso.c_str(), 1);
  setenv("CW_STANDIN_MS", ms.c_str(), 1);
  const std::string inizio = "C:\\inizio-esecuzione";
  setenv("CW_STANDIN_INIZIO", inizio.c_str(), 1);

  cw::FileSystemLinux fso{cw::DriveTable(prefisso)};
  cw::ProcessiLinux processi{cw::DriveTable(prefisso)};
  std::string errore;
  const auto piano = cw::PianificaCompilazione(fso, catalogo, paralleli, errore);
  if (!piano) {
    std::fprintf(stderr, "%s\n", errore.c_str());
    return 1;
  }
  cw::bench::UiMuta ui;
  const auto Giro = [&](bool insieme) {
    // Every output older than the round's start: a row built before what it
    // references fails.
    std::ofstream(prefisso / "drive_c" / "inizio-esecuzione") << "";
    ui.LogClear();
    const auto t0 = Clock::now();
    const auto fallita = insieme ? cw::CompilaInParallelo(fso, catalogo, ui, processi, *piano)
                                 : cw::CompilaProgetti(fso, catalogo, ui, processi);
    const double secondi = std::chrono::duration<double>(Clock::now() - t0).count();
    if (fallita) {
      std::fprintf(stderr, "row %d failed (%s)\n", *fallita, insieme ? "parallel" : "sequential");
      std::exit(1);
    }
    return secondi;
  };
  std::vector<double> uno, molti;
  for (int g = 0; g < giri; ++g) {
    uno.push_back(Giro(false));
    molti.push_back(Giro(true));
  }
  const double u = Mediana(uno), m = Mediana(molti);
  std::printf("rows %d, build %s ms, rounds %d (medians)\n", catalogo.UBound() - catalogo.LBound() + 1, ms.c_str(),
              giri);
  std::printf("one at a time     %8.2f s\n", u);
  std::printf("%2d at once        %8.2f s   %.2fx of one at a time (goal: at most 0.33x)\n", paralleli, m, m / u);
  std::error_code ec;
  fs::remove_all(prefisso, ec);
  return 0;
}
