// compilawexo-batch: the window's commands from a terminal, for scripts and CI.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch/console_ui.h"
#include "batch/opzioni.h"
#include "commands/comandi.h"
#include "commands/servizi_linux.h"
#include "platform/ansi.h"
#include "platform/errors.h"

namespace {

constexpr int kUscitaRigaDiComando = 64;

int CodiceUscita(cw::Esito esito) {
  switch (esito) {
    case cw::Esito::Completato: return 0;
    case cw::Esito::Fallito: return 1;
    case cw::Esito::Rifiutato: return 2;
    case cw::Esito::ErroreRuntime: return 3;
  }
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::string errore;
  const auto opzioni = cw::LeggiOpzioni(std::vector<std::string>(argv + 1, argv + argc), errore);
  if (!opzioni) {
    std::fprintf(stderr, "compilawexo-batch: %s\n", errore.c_str());
    return kUscitaRigaDiComando;
  }
  if (opzioni->aiuto) {
    std::fputs(cw::TestoAiuto().c_str(), stdout);
    return 0;
  }
  cw::Gestore gestore = nullptr;
  for (const auto& voce : cw::TabellaComandi())
    if (opzioni->controllo == voce.nome) gestore = voce.gestore;
  if (!gestore) {
    std::fprintf(stderr, "compilawexo-batch: il comando %s non è ancora disponibile\n", opzioni->comando.c_str());
    return kUscitaRigaDiComando;
  }

  cw::ConsoleUi ui(stdout, stderr, opzioni->conferma, isatty(STDOUT_FILENO) != 0);
  cw::ServiziLinux servizi(ui);
  cw::CampiInMemoria campi;
  cw::Contesto ctx = servizi.Contesto(campi);

  // The fields as the window would show them at start, then the options.
  cw::CaricaImpostazioni(ctx);
  if (opzioni->compatibilita) campi.SelezionaOpzione(*opzioni->compatibilita);
  for (const auto& [campo, testo] : opzioni->campi) campi.ImpostaTesto(campo, testo);
  if (opzioni->incremento) campi.ImpostaIncrementoAutomatico(*opzioni->incremento);

  if (!opzioni->visualizzatore.empty()) {
    ctx.visualizzatore = opzioni->visualizzatore;
  } else {
    ctx.mostraFileErrori = [&](const std::string& fileErrori) {
      ui.Svuota();
      const std::string testo = ctx.fso.OpenTextFile(fileErrori, cw::IOMode::ForReading)->ReadAll();
      std::fputs(cw::AnsiToUtf8(testo).c_str(), stdout);
      if (!testo.empty() && testo.back() != '\n') std::fputc('\n', stdout);
      std::fflush(stdout);
    };
  }

  const cw::Esito esito = cw::EseguiComando(ctx, gestore);
  ui.Svuota();
  return CodiceUscita(esito);
}
