// Registers and removes 85 stand-in DLLs through the walk, as "Registra" and
// "Rimuovi" do, and times it. The floor is the worker started and reaped 85
// times with nothing to do. Goal: a walk under 1 s.
//
//   cw_bench_registration [rounds]

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/processi_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "registration/registra_componenti.h"
#include "support/prefisso_temporaneo.h"
#include "support/ui_registrata.h"

namespace {

using Orologio = std::chrono::steady_clock;
constexpr int kDll = 85;

double Ms(Orologio::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int Registrati(const std::filesystem::path& prefisso) {
  int n = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(prefisso / "registry-standin", ec))
    if (e.path().filename().string().front() != '.') ++n;
  return n;
}

double Pavimento(const std::filesystem::path& worker) {
  const auto inizio = Orologio::now();
  for (int i = 0; i < kDll; ++i) {
    std::string nome = worker.string();
    char* argv[] = {nome.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, nome.c_str(), nullptr, nullptr, argv, nullptr) != 0) std::abort();
    int stato = 0;
    waitpid(pid, &stato, 0);
  }
  return Ms(Orologio::now() - inizio);
}

}  // namespace

int main(int argc, char** argv) {
  const int giri = argc > 1 ? std::atoi(argv[1]) : 5;
  cw::test::PrefissoTemporaneo prefisso;
  std::vector<cw::RigaCatalogo> righe;
  for (int i = 0; i < kDll; ++i) {
    const std::string nome = "Componente" + std::to_string(i) + ".dll";
    const auto host = prefisso.Host(std::string(cw::kCartellaOutputComponenti) + "\\" + nome);
    std::filesystem::create_directories(host.parent_path());
    std::filesystem::copy_file(cw::CartellaEseguibile() / "standin-component.so", host);
    righe.push_back(
        {"C:\\Progetti VB\\Wexo\\C" + std::to_string(i), "C.vbp", cw::kCartellaOutputComponenti, "dll", nome});
  }
  const cw::CatalogoComponenti catalogo(righe);
  cw::test::UiRegistrata ui;
  cw::RegistratoreIsolato registratore(
      ui, std::make_unique<cw::CanaleWorker>(std::make_unique<cw::AvvioWorkerLinux>(cw::DriveTable(prefisso.Dir()))));

  double migliorRegistra = 1e9, migliorRimuovi = 1e9, migliorPavimento = 1e9;
  for (int g = 0; g < giri; ++g) {
    auto inizio = Orologio::now();
    const bool falliti = cw::RegistraComponenti(catalogo, ui, &registratore, nullptr, true).Fallita();
    const double registra = Ms(Orologio::now() - inizio);
    if (falliti || Registrati(prefisso.Dir()) != kDll || !ui.messaggi.empty()) {
      std::fprintf(stderr, "registration failed\n");
      return 1;
    }
    inizio = Orologio::now();
    cw::RegistraComponenti(catalogo, ui, &registratore, nullptr, false);
    const double rimuovi = Ms(Orologio::now() - inizio);
    if (Registrati(prefisso.Dir()) != 0) {
      std::fprintf(stderr, "removal failed\n");
      return 1;
    }
    const double pavimento = Pavimento(cw::PercorsoWorkerPredefinito());
    std::printf("round %d: register %.1f ms, remove %.1f ms, worker floor %.1f ms\n", g + 1, registra, rimuovi,
                pavimento);
    migliorRegistra = std::min(migliorRegistra, registra);
    migliorRimuovi = std::min(migliorRimuovi, rimuovi);
    migliorPavimento = std::min(migliorPavimento, pavimento);
    ui.LogClear();
  }
  std::printf(
      "best of %d: register %d DLLs %.1f ms (%.2f ms each), remove %.1f ms, worker floor %.1f ms; goal < 1000 ms\n",
      giri, kDll, migliorRegistra, migliorRegistra / kDll, migliorRimuovi, migliorPavimento);
  return migliorRegistra < 1000.0 && migliorRimuovi < 1000.0 ? 0 : 2;
}
