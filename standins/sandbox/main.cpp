// wexo-sandbox: makes the demo prefix the tool runs on.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "argomenti.h"
#include "catalogue/catalogo.h"
#include "errore_sandbox.h"
#include "platform/linux/architettura_linux.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "sandbox.h"
#include "versione_programma.h"

int main(int argc, char** argv) {
  using namespace cw::sandbox;
  Argomenti a;
  try {
    a = AnalizzaArgomenti(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const ErroreUso& e) {
    std::fprintf(stderr, "wexo-sandbox: %s (--help for the usage)\n", e.what());
    return kUscitaUso;
  }
  if (a.aiuto) {
    std::fputs(kUso, stdout);
    return 0;
  }
  if (a.versione) {
    std::printf("wexo-sandbox %s\n", cw::kVersioneProgramma);
    return 0;
  }
  try {
    if (a.soloInstalla) {
      InstallaProgrammi(a.dir, a.opzioni.installa);
      std::printf("Installed %zu program(s) into %s\n", a.opzioni.installa.size(), a.dir.c_str());
      return 0;
    }
    if (a.wine) {
      a.opzioni.programmiWindows = !a.cartellaWindows.empty() ? a.cartellaWindows : cw::CartellaAusiliari() / "windows";
      std::string errore;
      const bool esegue32 = cw::KernelEsegue32Bit(&errore);
      if (a.arch.empty() && !esegue32) {
        a.arch = "x64";
        std::printf("This host runs no 32-bit programs (%s): making a 64-bit prefix (--arch x64)\n", errore.c_str());
      }
      a.opzioni.a64 = a.arch == "x64";
      // Refused before anything is made: a 32-bit prefix could never start here.
      if (!a.opzioni.a64) {
        if (const std::string motivo = cw::MotivoSenza32Bit(); !motivo.empty()) {
          std::fprintf(stderr, "wexo-sandbox: %s\n", motivo.c_str());
          return 1;
        }
      }
    }
    const auto inizio = std::chrono::steady_clock::now();
    cw::CatalogoComponenti catalogo;
    cw::CaricaCatalogo(catalogo);
    const Riepilogo r = CreaSandbox(a.dir, catalogo, a.opzioni);
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inizio).count();
    std::printf("Sandbox made in %s: %d projects, %d files, %.0f ms\n", a.dir.c_str(), r.progetti, r.file, ms);
    std::printf("Run the tool on it with WINEPREFIX=%s\n", a.dir.c_str());
    return 0;
  } catch (const ErroreSandbox& e) {
    std::fprintf(stderr, "wexo-sandbox: %s\n", e.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "wexo-sandbox: %s\n", e.what());
    return 1;
  }
}
