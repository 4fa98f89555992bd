// Times the making of the whole sandbox (catalogue loaded, prefix made,
// every project written). Goal: under 2 s.
//
// Side by side it times the floor: the same tree of folders, links and
// bytes written with plain system calls and nothing else, so a slow disk
// shows as a slow floor rather than as a slow maker.
//
//   cw_bench_sandbox [RUNS] [FOLDER]   (defaults: 10 runs in the temporary folder)

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/catalogo.h"
#include "sandbox.h"

namespace {

namespace fs = std::filesystem;

struct Voce {
  std::string percorso;  // relative
  int genere;            // 0 folder, 1 file, 2 link
  std::string dati;      // bytes, or the link's target
};

std::vector<Voce> Fotografa(const fs::path& dir) {
  std::vector<Voce> voci;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
    Voce v{it->path().lexically_relative(dir).string(), 0, {}};
    if (it->is_symlink()) {
      v.genere = 2;
      v.dati = fs::read_symlink(it->path()).string();
    } else if (it->is_regular_file()) {
      v.genere = 1;
      std::ifstream in(it->path(), std::ios::binary);
      v.dati.assign(std::istreambuf_iterator<char>(in), {});
    }
    voci.push_back(std::move(v));
  }
  return voci;
}

void Pavimento(const fs::path& dir, const std::vector<Voce>& voci) {
  ::mkdir(dir.c_str(), 0755);
  for (const Voce& v : voci) {
    const std::string p = (dir / v.percorso).string();
    if (v.genere == 0) {
      ::mkdir(p.c_str(), 0755);
    } else if (v.genere == 2) {
      if (::symlink(v.dati.c_str(), p.c_str()) != 0) std::perror("symlink");
    } else {
      const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) {
        if (::write(fd, v.dati.data(), v.dati.size()) < 0) std::perror("write");
        ::close(fd);
      }
    }
  }
}

double Ms(std::chrono::steady_clock::time_point inizio) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inizio).count();
}

void Stampa(const char* nome, std::vector<double> t) {
  std::sort(t.begin(), t.end());
  std::printf("  %-8s min %7.1f ms   median %7.1f ms   max %7.1f ms\n", nome, t.front(), t[t.size() / 2], t.back());
}

}  // namespace

int main(int argc, char** argv) {
  const int giri = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
  std::string modello = (base / "cw-bench-sandbox-XXXXXX").string();
  if (!mkdtemp(modello.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path lavoro = modello;

  std::vector<double> tempi, pavimento;
  std::vector<Voce> voci;
  int file = 0;
  for (int i = 0; i < giri; ++i) {
    const fs::path dir = lavoro / ("s" + std::to_string(i));
    auto inizio = std::chrono::steady_clock::now();
    cw::CatalogoComponenti catalogo;
    cw::CaricaCatalogo(catalogo);
    file = cw::sandbox::CreaSandbox(dir, catalogo, {}).file;
    tempi.push_back(Ms(inizio));
    if (voci.empty()) voci = Fotografa(dir);
    fs::remove_all(dir);

    const fs::path copia = lavoro / ("f" + std::to_string(i));
    inizio = std::chrono::steady_clock::now();
    Pavimento(copia, voci);
    pavimento.push_back(Ms(inizio));
    fs::remove_all(copia);
  }
  fs::remove_all(lavoro);

  std::printf("sandbox: %d files, %zu entries, %d runs in %s\n", file, voci.size(), giri, base.c_str());
  Stampa("maker", tempi);
  Stampa("floor", pavimento);
  std::sort(tempi.begin(), tempi.end());
  std::printf("  goal under 2000 ms (median): %s\n", tempi[tempi.size() / 2] < 2000.0 ? "met" : "NOT met");
  return 0;
}
