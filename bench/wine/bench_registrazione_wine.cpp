// "Registra" and "Rimuovi" under a real Wine: the batch mode's commands over
// the 85 Windows DLLs and 55 EXE servers a --wine sandbox's build makes,
// beside a shell loop of `wine regsvr32 /s` and `wine X.exe /RegServer`
// (and their removals) over the same files; then the DLLs alone through
// RegistraDll with the platform's worker, beside the regsvr32 part of the
// loop. Warm wineserver.
//
//   cw_bench_wine [rounds]
//
// Run it from the build tree's bin folder (where the build puts it): the
// batch mode is the one beside it, and the platform starts its Windows
// programs from "windows" there.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/servizi_piattaforma.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "sandbox_wine.h"
#include "support/ui_registrata.h"

namespace {

namespace fs = std::filesystem;
using cw::bench::Esegui;
using cw::bench::Ms;
using cw::bench::Orologio;
using cw::bench::Virgolette;

// The built files the walk registers, as the catalogue names them.
struct Componenti {
  std::vector<std::string> dll;
  std::vector<std::string> exe;
};

Componenti LeggiComponenti(const cw::CatalogoComponenti& catalogo) {
  Componenti c;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    const std::string& tipo = catalogo(riga, cw::kTipo);
    if (tipo == "dll" || tipo == "dll-skipcompile") c.dll.push_back(catalogo.FileOutputCompleto(riga));
    if (tipo == "exe" || tipo == "exe-skipcompile") c.exe.push_back(catalogo.FileOutputCompleto(riga));
  }
  return c;
}

// A script of one `wine` line a file, stopping at the first failure.
fs::path Script(const fs::path& percorso, const std::vector<std::string>& file, const std::string& prima,
                const std::string& dopo) {
  std::ofstream out(percorso);
  for (const std::string& f : file)
    out << cw::test::ComandoWine() << " " << prima << Virgolette(f) << dopo << " || exit 1\n";
  return percorso;
}

// Times one shell command, which must succeed; negative when it failed.
double Tempo(const std::string& comando, const fs::path& uscita) {
  const auto inizio = Orologio::now();
  if (!Esegui(comando, uscita)) return -1;
  return Ms(Orologio::now() - inizio);
}

}  // namespace

int main(int argc, char** argv) try {
  const int giri = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path batch = cw::CartellaEseguibile() / "compilawexo-batch";
  if (!fs::exists(batch)) {
    std::fprintf(stderr, "cw_bench_wine: no %s: build the target compilawexo-batch\n", batch.c_str());
    return 1;
  }
  cw::CatalogoComponenti catalogo;
  cw::CaricaCatalogo(catalogo);
  const cw::bench::SandboxWine sandbox(catalogo);
  const Componenti componenti = LeggiComponenti(catalogo);
  const double n = static_cast<double>(componenti.dll.size() + componenti.exe.size());

  // The built files: every row through the stand-in development environment.
  {
    cw::ServiziPiattaforma servizi = cw::CreaServiziPiattaforma({.programma = "cw_bench_wine"});
    cw::test::UiRegistrata ui;
    // A limit far above any row's build: a stuck stand-in ends the run.
    constexpr std::uint32_t kLimiteRigaSecondi = 600;
    if (!servizi.problema.empty() ||
        cw::CompilaProgetti(*servizi.fso, catalogo, ui, *servizi.processi, -1, nullptr, kLimiteRigaSecondi)) {
      const std::string perche = !servizi.problema.empty() ? servizi.problema : ui.log.empty() ? "" : ui.log.back();
      std::fprintf(stderr, "cw_bench_wine: the sandbox's build failed: %s\n", perche.c_str());
      return 1;
    }
  }

  const fs::path& cartella = sandbox.Cartella();
  const fs::path uscita = cartella / "uscita.log";
  const std::string registraDll = Script(cartella / "registra-dll.sh", componenti.dll, "regsvr32 /s ", "").string();
  const std::string registraExe = Script(cartella / "registra-exe.sh", componenti.exe, "", " /RegServer").string();
  const std::string rimuoviDll = Script(cartella / "rimuovi-dll.sh", componenti.dll, "regsvr32 /u /s ", "").string();
  const std::string rimuoviExe = Script(cartella / "rimuovi-exe.sh", componenti.exe, "", " /UnregServer").string();

  struct Totali {
    double registra = 0, rimuovi = 0;                // compilawexo-batch
    double registraDll = 0, registraExe = 0;         // the shell loop's two parts
    double rimuoviDll = 0, rimuoviExe = 0;           // and their removals
    double registraSoloDll = 0, rimuoviSoloDll = 0;  // RegistraDll with one worker
  } t;
  auto somma = [](double& totale, double ms) {
    totale += ms;
    return ms >= 0;
  };
  for (int g = 0; g < giri; ++g) {
    // Nothing the batch mode prints must end up in the report: it goes to a file.
    const std::string comando = Virgolette(batch.string());
    if (!somma(t.registra, Tempo(comando + " registra", uscita))) return 1;
    if (!somma(t.rimuovi, Tempo(comando + " rimuovi", uscita))) return 1;
    if (!somma(t.registraDll, Tempo("sh " + Virgolette(registraDll), uscita)) ||
        !somma(t.registraExe, Tempo("sh " + Virgolette(registraExe), uscita)) ||
        !somma(t.rimuoviDll, Tempo("sh " + Virgolette(rimuoviDll), uscita)) ||
        !somma(t.rimuoviExe, Tempo("sh " + Virgolette(rimuoviExe), uscita)))
      return 1;
    {
      cw::ServiziPiattaforma servizi = cw::CreaServiziPiattaforma({.programma = "cw_bench_wine"});
      cw::test::UiRegistrata ui;
      cw::RegistratoreIsolato registratore(ui, std::make_unique<cw::CanaleWorker>(std::move(servizi.workers)));
      // The worker's start belongs to the walk: each walk starts its own.
      for (std::int32_t flag : {0, 1}) {
        const auto inizio = Orologio::now();
        for (const std::string& dll : componenti.dll)
          if (!registratore.RegistraDll(dll, flag)) {
            std::fprintf(stderr, "cw_bench_wine: RegistraDll %s, flag %d: %s\n", dll.c_str(), flag,
                         ui.messaggi.empty() ? "" : ui.messaggi.back().testo.c_str());
            return 1;
          }
        (flag == 0 ? t.registraSoloDll : t.rimuoviSoloDll) += Ms(Orologio::now() - inizio);
      }
    }
  }
  const auto riga = [&](const char* nome, double totale, double quanti) {
    std::printf("  %-40s %9.1f  %6.1f\n", nome, totale / giri, totale / giri / quanti);
  };
  const double dll = static_cast<double>(componenti.dll.size());
  std::printf("%zu Windows DLLs and %zu EXE servers, warm wineserver, means over %d rounds\n", componenti.dll.size(),
              componenti.exe.size(), giri);
  std::printf("  %-40s %9s  %6s\n", "", "ms", "a comp.");
  riga("compilawexo-batch registra", t.registra, n);
  riga("loop: regsvr32 /s, X.exe /RegServer", t.registraDll + t.registraExe, n);
  riga("  of which regsvr32 /s", t.registraDll, dll);
  riga("  of which X.exe /RegServer", t.registraExe, static_cast<double>(componenti.exe.size()));
  std::printf("  %-40s %9.2f\n", "ratio loop / registra", (t.registraDll + t.registraExe) / t.registra);
  riga("compilawexo-batch rimuovi", t.rimuovi, n);
  riga("loop: regsvr32 /u /s, X.exe /UnregServer", t.rimuoviDll + t.rimuoviExe, n);
  std::printf("  %-40s %9.2f\n", "ratio loop / rimuovi", (t.rimuoviDll + t.rimuoviExe) / t.rimuovi);
  std::printf("The DLLs alone\n");
  riga("RegistraDll, register (one worker)", t.registraSoloDll, dll);
  riga("RegistraDll, remove (one worker)", t.rimuoviSoloDll, dll);
  std::printf("  %-40s %9.2f\n", "ratio regsvr32 /s loop / RegistraDll", t.registraDll / t.registraSoloDll);
  return 0;
} catch (const std::exception& e) {
  std::fprintf(stderr, "cw_bench_wine: %s\n", e.what());
  return 1;
}
