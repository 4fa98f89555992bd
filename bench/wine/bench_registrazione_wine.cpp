// Registers and removes 85 Windows stand-in DLLs through RegistraDll, as
// "Registra" and "Rimuovi" do, in a Wine prefix made for the run with a warm
// wineserver, and times it beside a loop of `wine regsvr32 /s` over the same
// files. Goal: a walk under 1 s.
//
//   cw_bench_wine [rounds]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/linux/drive_table_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "support/prefisso_temporaneo.h"
#include "support/ui_registrata.h"

namespace {

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;
constexpr int kDll = 85;

double Ms(Orologio::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string Dll(int i) { return "C:\\Componenti\\Componente" + std::to_string(i) + ".dll"; }

}  // namespace

int main(int argc, char** argv) {
  const int giri = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  cw::test::CartellaTemporanea cartella;
  const fs::path prefisso = cartella.Dir() / "prefisso";
  const std::string ambiente =
      "WINEPREFIX='" + prefisso.string() + "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' ";
  std::system((ambiente + "wineserver -p >/dev/null 2>&1").c_str());
  if (std::system((ambiente + "wineboot --init >/dev/null 2>&1").c_str()) != 0) {
    std::fprintf(stderr, "wineboot failed\n");
    return 1;
  }
  fs::create_directories(prefisso / "drive_c" / "Componenti");
  for (int i = 0; i < kDll; ++i)
    fs::copy(fs::path(CW_WINDOWS_BIN_DIR) / "standin-component.dll",
             prefisso / "drive_c" / "Componenti" / ("Componente" + std::to_string(i) + ".dll"));

  double nostro = 0, rimozione = 0, regsvr32 = 0;
  for (int g = 0; g < giri; ++g) {
    cw::test::UiRegistrata ui;
    {
      cw::RegistratoreIsolato registratore(
          ui, std::make_unique<cw::CanaleWorker>(
                  std::make_unique<cw::AvvioWorkerLinux>(cw::DriveTable(prefisso), cw::PercorsoWorkerPredefinito(),
                                                         fs::path(CW_WINDOWS_BIN_DIR) / cw::kNomeAgente)));
      // The worker's start belongs to the walk: each walk starts its own.
      auto inizio = Orologio::now();
      for (int i = 0; i < kDll; ++i)
        if (!registratore.RegistraDll(Dll(i), 0)) return 1;
      nostro += Ms(Orologio::now() - inizio);
      inizio = Orologio::now();
      for (int i = 0; i < kDll; ++i)
        if (!registratore.RegistraDll(Dll(i), 1)) return 1;
      rimozione += Ms(Orologio::now() - inizio);
    }
    const auto inizio = Orologio::now();
    for (int i = 0; i < kDll; ++i)
      if (std::system(
              (ambiente + "wine regsvr32 /s 'C:\\Componenti\\Componente" + std::to_string(i) + ".dll'").c_str()) != 0)
        return 1;
    regsvr32 += Ms(Orologio::now() - inizio);
  }
  std::system((ambiente + "wineserver -k >/dev/null 2>&1").c_str());
  std::printf("%d Windows DLLs, warm wineserver, means over %d rounds, ms\n", kDll, giri);
  std::printf("Registra (one worker):     %8.1f  (%.1f a DLL)\n", nostro / giri, nostro / giri / kDll);
  std::printf("Rimuovi (one worker):      %8.1f\n", rimozione / giri);
  std::printf("wine regsvr32 /s loop:     %8.1f  (%.1f a DLL)\n", regsvr32 / giri, regsvr32 / giri / kDll);
  std::printf("ratio regsvr32 / Registra: %8.1f\n", regsvr32 / nostro);
  return 0;
}
