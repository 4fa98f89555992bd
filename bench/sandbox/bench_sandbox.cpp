// Times the making of the whole sandbox (catalogue loaded, prefix made,
// every project written). Goal: under 2 s.
//
//   cw_bench_sandbox [RUNS] [FOLDER]   (defaults: 10 runs in the temporary folder)

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/catalogo.h"
#include "sandbox.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const int giri = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
  std::string modello = (base / "cw-bench-sandbox-XXXXXX").string();
  if (!mkdtemp(modello.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path lavoro = modello;

  std::vector<double> tempi;
  int file = 0;
  for (int i = 0; i < giri; ++i) {
    const fs::path dir = lavoro / ("s" + std::to_string(i));
    const auto inizio = std::chrono::steady_clock::now();
    cw::CatalogoComponenti catalogo;
    cw::CaricaCatalogo(catalogo);
    file = cw::sandbox::CreaSandbox(dir, catalogo, {}).file;
    tempi.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inizio).count());
    fs::remove_all(dir);
  }
  fs::remove_all(lavoro);

  std::sort(tempi.begin(), tempi.end());
  const double mediana = tempi[tempi.size() / 2];
  std::printf("sandbox: %d files, %d runs in %s\n", file, giri, base.c_str());
  std::printf("  min %.1f ms   median %.1f ms   max %.1f ms\n", tempi.front(), mediana, tempi.back());
  std::printf("  goal under 2000 ms: %s\n", mediana < 2000.0 ? "met" : "NOT met");
  return 0;
}
