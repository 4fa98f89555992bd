// standin-vb6: stands in for the development environment's command-line
// build, "VB6.EXE /make P /outdir D /out E". The paths arrive as Windows
// paths and are resolved through the drive table of $WINEPREFIX.
//
// Exit status 0 once the build is over, failed or not (the outcome is in E);
// 2 for a command line it cannot use, 1 when E cannot be written.

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "compilazione.h"
#include "percorsi_windows.h"

namespace {

bool Uguale(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The stand-in components live beside the stand-in (the sandbox links
// VB6.EXE to it); CW_STANDIN_COMPONENTI names another folder.
std::filesystem::path CartellaComponenti() {
  if (const char* c = std::getenv("CW_STANDIN_COMPONENTI"); c && *c) return c;
  std::error_code ec;
  const auto io = std::filesystem::canonical("/proc/self/exe", ec);
  return ec ? std::filesystem::path{} : io.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  cw::vb6::Richiesta r;
  bool make = false, out = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view opzione = argv[i];
    const bool valore = i + 1 < argc;
    if (Uguale(opzione, "/make") && valore) {
      r.progetto = argv[++i];
      make = true;
    } else if (Uguale(opzione, "/outdir") && valore) {
      r.cartellaOutput = argv[++i];
    } else if (Uguale(opzione, "/out") && valore) {
      r.fileErrori = argv[++i];
      out = true;
    } else {
      std::fprintf(stderr, "standin-vb6: argomento non riconosciuto: %s\n", argv[i]);
      return 2;
    }
  }
  if (!make || !out) {
    std::fprintf(stderr, "uso: VB6.EXE /make progetto.vbp [/outdir cartella] /out file\n");
    return 2;
  }
  const cw::DriveTable unita = cw::DriveTable::FromEnvironment();

  // The benchmark measures the caller's loop, not the build.
  const char* noop = std::getenv("CW_STANDIN_VB6_NOOP");
  cw::vb6::Resoconto esito;
  if (noop && std::strcmp(noop, "1") == 0) {
    esito = {true, {cw::vb6::RigaCompletata(r.progetto)}};
  } else {
    if (r.cartellaOutput.empty()) r.cartellaOutput = cw::vb6::CartellaDi(r.progetto);
    esito = cw::vb6::Compila(unita, r, {CartellaComponenti()});
  }
  if (!cw::vb6::AccodaResoconto(unita, r.fileErrori, esito.righe)) {
    std::fprintf(stderr, "standin-vb6: impossibile scrivere '%s'\n", r.fileErrori.c_str());
    return 1;
  }
  return 0;
}
