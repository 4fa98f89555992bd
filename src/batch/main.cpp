// compilawexo-batch: the window's commands from a terminal, for scripts and CI.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "base/command_line.h"
#include "base/errors.h"
#include "batch/console_ui.h"
#include "batch/opzioni.h"
#include "build/rapporto_junit.h"
#include "commands/anteprima.h"
#include "commands/comandi.h"
#include "commands/servizi.h"
#include "platform/avvio_wine.h"
#include "platform/fine_su_segnale.h"
#include "platform/servizi_piattaforma.h"
#include "settings/modFileIni.h"
#include "versione_programma.h"

namespace {

int CodiceUscita(cw::Esito esito, const cw::ConsoleUi& ui) {
  switch (esito) {
    case cw::Esito::Completato: return 0;
    case cw::Esito::Fallito: return 1;
    case cw::Esito::Rifiutato: return cw::kUscitaRifiuto;
    // A failed build is what the user must hear of, whatever stopped the
    // run after it (a deployment copy of a row that was never built).
    case cw::Esito::ErroreRuntime: return ui.UnaCompilazioneFallita() ? 1 : 3;
  }
  return 3;
}

int Rifiuta(const std::string& testo) {
  std::fprintf(stderr, "compilawexo-batch: %s\n", testo.c_str());
  return cw::kUscitaRifiuto;
}

}  // namespace

int main(int argc, char** argv) {
  // A closed output (a pager quit, "| head") must not end the run half way;
  // a signal ends what the run waits for, then the run.
  const cw::ServiziSistema sistema = cw::CreaServiziSistema();
  sistema.segnali->PreparaFineSuSegnale();
  sistema.console->PreparaConsole();
  std::string errore;
  int stato = cw::kUscitaRigaDiComando;
  const auto opzioni = cw::LeggiOpzioni(sistema.console->ArgomentiProgramma(argc, argv), errore, &stato);
  if (!opzioni) {
    std::fprintf(stderr, "compilawexo-batch: %s\n", errore.c_str());
    return stato;
  }
  if (opzioni->aiuto) {
    std::fputs(cw::TestoAiuto().c_str(), stdout);
    return 0;
  }
  if (opzioni->versione) {
    std::printf("compilawexo-batch %s\n", cw::kVersioneProgramma);
    return 0;
  }
  std::string erroreTraccia;
  const auto traccia = cw::CreaTraccia(opzioni->debug, erroreTraccia);
  if (!erroreTraccia.empty()) return Rifiuta(erroreTraccia);
  cw::ImpostaTraccia(traccia.get());
  cw::Gestore gestore = nullptr;
  for (const auto& voce : cw::TabellaComandi())
    if (opzioni->controllo == voce.nome) gestore = voce.gestore;
  if (opzioni->anteprima) gestore = cw::GestoreAnteprima(opzioni->controllo);
  if (opzioni->dot) gestore = &cw::GrafoRiferimentiDot;
  if (!gestore) {
    std::fprintf(stderr, "compilawexo-batch: comando sconosciuto: %s\n", opzioni->comando.c_str());
    return cw::kUscitaRigaDiComando;
  }

  // --vuoti says the texts are to be emptied: it answers "Applica"'s question.
  cw::ConsoleUi ui(stdout, stderr, opzioni->conferma || opzioni->vuoti, sistema.console->UscitaSuTerminale());
  // Checked before anything is touched, so a wrong setting costs nothing.
  // Wine's first start in a prefix takes seconds: said, so the run does not seem to hang.
  cw::Servizi servizi(ui,
                      cw::OpzioniPiattaforma{.programma = "compilawexo-batch",
                                             .avvioWine =
                                                 [&ui](const std::string& prefisso, bool inizio) {
                                                   if (inizio) ui.Avvisa(cw::RigaAvvioWine(prefisso));
                                                 }},
                      cw::CreaServiziPiattaforma);
  if (const std::string& problema = servizi.Problema(); !problema.empty()) {
    ui.MsgBox(problema, cw::kStileCritico, cw::kTitoloApplicazione);
    return cw::kUscitaRifiuto;
  }
  if (!opzioni->visualizzatore.empty()) {
    const auto parole = cw::SplitCommandLine(opzioni->visualizzatore);
    if (parole.empty() || !servizi.TrovaProgramma(parole[0]))
      return Rifiuta("visualizzatore non trovato: " + (parole.empty() ? opzioni->visualizzatore : parole[0]));
  }

  if (!opzioni->junit.empty()) {
    // Checked before the run: a report that cannot be written after an hour of builds helps nobody.
    const std::filesystem::path cartella = std::filesystem::absolute(opzioni->junit).parent_path();
    if (!sistema.fileEsterni->CartellaScrivibile(cartella))
      return Rifiuta("cartella del rapporto JUnit non scrivibile: " + cartella.string());
    if (const std::string rifiuto = cw::RapportoRifiutato(opzioni->junit, servizi.CartelleUnita()); !rifiuto.empty())
      return Rifiuta(rifiuto);
  }

  servizi.CaricaCatalogo();
  cw::CampiInMemoria campi;
  cw::Contesto ctx = servizi.Contesto(ui, campi);
  ctx.programma = "compilawexo-batch";
  // The terminal types into no window: Vb-Build is the window's.
  ctx.tastiera = nullptr;
  if (!opzioni->impostazioni.empty()) {
    // A save replaces the file it names: inside the drives that could be a
    // file of the suite (a project file gaining a "[Versione]"), so only the
    // settings' own place there is taken, as for the JUnit report.
    const std::vector<std::filesystem::path> cartelle = servizi.CartelleUnita();
    std::error_code ec;
    const std::filesystem::path vero = std::filesystem::weakly_canonical(opzioni->impostazioni, ec);
    if (vero != std::filesystem::weakly_canonical(ctx.FileIni(), ec)) {
      for (const std::filesystem::path& cartella : cartelle) {
        const std::filesystem::path resto = vero.lexically_relative(std::filesystem::weakly_canonical(cartella, ec));
        if (!resto.empty() && *resto.begin() != "..")
          return Rifiuta("il file delle impostazioni non può stare dentro " + cartella.string() +
                         ", tra i file su cui lavora il programma: " + opzioni->impostazioni);
      }
    }
    ctx.fileIni = [file = opzioni->impostazioni] { return file; };
  }
  ctx.limiteCompilazione = opzioni->limiteCompilazione;
  ctx.paralleli = opzioni->paralleli;

  if (const std::string marca = cw::MarcaUtf8Rifiutata(*ctx.sistema.profilo, ctx.FileIni()); !marca.empty())
    return Rifiuta(marca);

  // A field the command reads must come from the command line or the
  // settings file: the window's start-up values would overwrite every
  // project's own with "1.0.0" or empty texts.
  const std::string mancanti = cw::CampiMancanti(*opzioni, [&](const std::string& chiave) {
    static const std::string kAssente = "\x01";
    return cw::LeggiIniStringa(*ctx.sistema.profilo, ctx.FileIni(), cw::kSezioneVersione, chiave, kAssente, 255) !=
           kAssente;
  });
  if (!mancanti.empty()) return Rifiuta(mancanti);

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
      const std::string utf8 = cw::AnsiToUtf8(testo);
      std::fwrite(utf8.data(), 1, utf8.size(), stdout);
      if (!testo.empty() && testo.back() != '\n') std::fputc('\n', stdout);
      std::fflush(stdout);
    };
  }

  if (!opzioni->junit.empty()) {
    ctx.rapportoJUnit = [&](const std::string& xml) {
      const std::string motivo = cw::ScriviRapportoJUnit(*sistema.fileEsterni, opzioni->junit, xml);
      if (motivo.empty()) return true;
      ui.Svuota();
      std::fprintf(stderr, "compilawexo-batch: rapporto JUnit non scritto in '%s': %s\n", opzioni->junit.c_str(),
                   motivo.c_str());
      std::fflush(stderr);
      return false;
    };
  }
  // The graph's other face reads only, as the command of the table does.
  if (opzioni->dot) ctx.blocco = nullptr;
  if (opzioni->anteprima) {
    // Nothing is written, so another instance may be at work on the prefix.
    ctx.blocco = nullptr;
    ctx.mostraAnteprima = [&](const std::string& testo) {
      ui.Svuota();
      // With its length: a file's NUL byte is shown, not the end of the preview.
      std::fwrite(testo.data(), 1, testo.size(), stdout);
      std::fflush(stdout);
    };
  }

  cw::Esito esito;
  try {
    esito = cw::EseguiComando(ctx, gestore);
  } catch (const cw::FineSuSegnale& fine) {
    ui.Svuota();
    return fine.CodiceUscita();
  }
  ui.Svuota();
  return CodiceUscita(esito, ui);
}
