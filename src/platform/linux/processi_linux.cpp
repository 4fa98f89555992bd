#include "platform/linux/processi_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <vector>

#include "base/command_line.h"
#include "base/errors.h"
#include "platform/linux/discendenza_linux.h"
#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/programma_agente_linux.h"
#include "platform/linux/programma_locale_linux.h"
#include "platform/linux/spawn_linux.h"
#include "platform/traccia.h"

namespace cw {

namespace fs = std::filesystem;

ProcessiLinux::ProcessiLinux() : ProcessiLinux(DriveTable::FromEnvironment()) {}

ProcessiLinux::ProcessiLinux(DriveTable drives) : ProcessiLinux(std::move(drives), Opzioni{}) {}

ProcessiLinux::ProcessiLinux(DriveTable drives, Opzioni opzioni)
    : drives_(std::move(drives)), opzioni_(std::move(opzioni)), ricerca_(drives_, opzioni_.cartellaProgramma) {
  // Before any program: the guardian is there for the first.
  PreparaDiscendenza();
  agente_ = opzioni_.agente
                ? opzioni_.agente
                : std::make_shared<AgenteLinux>(
                      drives_, opzioni_.agenteWindows.empty() ? PercorsoAgentePredefinito() : opzioni_.agenteWindows,
                      opzioni_.percorsoRicerca);
}

std::unique_ptr<ProgrammaAvviato> ProcessiLinux::Avvia(const std::string& commandLine, int stile) {
  std::vector<std::string> parole = SplitCommandLine(commandLine);
  if (parole.empty()) SollevaErrore(kFileNonTrovato, "riga di comando vuota");
  auto programma = TrovaProgramma(parole[0]);
  // An unquoted program path with blanks ("C:\Cartella con spazi\Il
  // Server.exe /RegServer") is found as Windows finds it: each longer part
  // of the line up to a blank is tried in turn, and the first that names a
  // program wins; the rest of the line is its arguments.
  const size_t inizio = commandLine.find_first_not_of(" \t");
  if (!programma && commandLine[inizio] != '"') {
    for (size_t blank = commandLine.find_first_of(" \t", inizio); blank != std::string::npos;) {
      const size_t dopo = commandLine.find_first_not_of(" \t", blank);
      if (dopo == std::string::npos) break;
      blank = commandLine.find_first_of(" \t", dopo);
      const std::string testa = commandLine.substr(inizio, blank == std::string::npos ? blank : blank - inizio);
      if (testa.find('"') != std::string::npos) break;
      if ((programma = TrovaProgramma(testa))) {
        // Split behind a stand-in program word, as the arguments follow one.
        parole = SplitCommandLine("x" + (blank == std::string::npos ? std::string() : commandLine.substr(blank)));
        parole.front() = testa;
        break;
      }
    }
  }
  if (!programma) SollevaErrore(kFileNonTrovato, "programma non trovato: " + parole[0], parole[0]);

  // The prefix the drive table uses (so a native stand-in resolves paths
  // through the same drives) and the window style.
  std::vector<std::string> variabili{std::string(kVariabileStileFinestra) + "=" + std::to_string(stile)};
  std::vector<std::string> argomenti{programma->string()};
  argomenti.insert(argomenti.end(), parole.begin() + 1, parole.end());
  const bool windows = ComeProgrammaWindows(*programma);
  // The agent gives the program the line as written; wine started directly
  // would rebuild it from the words, quoting only those with blanks.
  if (windows && agente_->Presente()) return AvviaDallAgente(*programma, commandLine, stile, parole[0]);
  AvvioProgramma avvio;
  if (windows) {
    auto sottoWine = AvvioSottoWine(std::move(argomenti), drives_.Prefix(), variabili, opzioni_.percorsoRicerca);
    if (!sottoWine) SollevaErrore(kFileNonTrovato, "programma Windows senza wine: " + programma->string(), parole[0]);
    avvio = std::move(*sottoWine);
  } else {
    avvio = AvvioProgramma{*programma, std::move(argomenti), AmbientePrefisso(drives_.Prefix(), variabili)};
  }
  // Nothing of the tool's own standard streams reaches a Windows program:
  // Wine's services, started by the first Wine program of a prefix, keep what
  // it inherited, and a caller's pipe (a CI log, "| tee") would then never
  // close.
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  if (windows) {
    posix_spawn_file_actions_addopen(&azioni, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t pid = 0;
  unsigned long discendenza = 0;
  int err = 0;
  std::unique_ptr<ProgrammaLocaleLinux> avviato;
  {
    // A signal between the start and the registration would end the tool
    // and leave the program running: it waits until the program is
    // registered, and is then acted on here.
    AscoltoSegnale ascolto;
    // A group of its own: what a script or wine starts in turn is ended with
    // it on a signal.
    err = AvviaFiglio(pid, avvio.eseguibile, std::move(avvio.argomenti), std::move(avvio.ambiente),
                      windows ? &azioni : nullptr, true, &discendenza);
    if (err == 0) {
      RegistraAvviato(pid);
      // Held from here, so its exit status cannot be lost however soon it ends.
      avviato = std::make_unique<ProgrammaLocaleLinux>(pid, PidfdOpen(pid), discendenza, stile == kFinestraNormale,
                                                       opzioni_.attesa, raccoglitore_);
    }
  }
  posix_spawn_file_actions_destroy(&azioni);
  if (err != 0) SollevaErrore(kFileNonTrovato, avvio.eseguibile.string() + ": " + std::strerror(err), parole[0]);
  ScriviTraccia("avvio", [&] {
    return (windows ? "sotto Wine, caricatore " + avvio.eseguibile.string() + ", " : std::string("locale, ")) +
           "programma " + programma->string() + ", pid " + std::to_string(pid);
  });
  if (const int s = SegnaleArrivato()) {
    avviato->Termina();
    throw FineSuSegnale{s};
  }
  return avviato;
}

std::unique_ptr<ProgrammaAvviato> ProcessiLinux::AvviaDallAgente(const fs::path& programma,
                                                                 const std::string& commandLine, int stile,
                                                                 const std::string& parola) {
  if (!agente_->ConWine())
    SollevaErrore(kFileNonTrovato, "programma Windows senza wine: " + programma.string(), parola);
  Attesa& attesa = opzioni_.attesa ? *opzioni_.attesa : agente_->AttesaBloccata();
  const AgenteLinux::Avviato avviato = agente_->AvviaProgramma(programma, commandLine, stile, attesa);
  ScriviTraccia("avvio", [&] {
    return "dall'agente, programma " + programma.string() +
           (avviato.ok ? ", numero " + std::to_string(avviato.numero) : ", non avviato: " + avviato.errore);
  });
  if (!avviato.ok) SollevaErrore(kFileNonTrovato, programma.string() + ": " + avviato.errore, parola);
  return std::make_unique<ProgrammaAgenteLinux>(agente_, avviato.numero, opzioni_.attesa);
}

std::optional<std::size_t> ProcessiLinux::AttendiPrimo(std::span<ProgrammaAvviato* const> programmi,
                                                       std::chrono::milliseconds limite) {
  using Orologio = std::chrono::steady_clock;
  std::vector<ProgrammaLocaleLinux*> locali;
  for (ProgrammaAvviato* p : programmi) {
    auto* l = dynamic_cast<ProgrammaLocaleLinux*>(p);
    if (!l || l->Pidfd() < 0) return Processi::AttendiPrimo(programmi, limite);
    locali.push_back(l);
  }
  if (locali.empty()) return std::nullopt;
  const bool infinito = limite == kSenzaLimite;
  const auto scadenza = infinito ? Orologio::time_point::max() : Orologio::now() + limite;
  AttesaLinux bloccata;
  Attesa& attesa = opzioni_.attesa ? *opzioni_.attesa : bloccata;
  const int segnale = DescrittoreSegnale();
  std::vector<OggettoAttesa> oggetti;
  for (ProgrammaLocaleLinux* l : locali) oggetti.push_back(l->Pidfd());
  if (segnale >= 0) oggetti.push_back(segnale);
  try {
    AscoltoSegnale ascolto;
    for (;;) {
      if (const int s = SegnaleArrivato()) throw FineSuSegnale{s};
      // One that has ended is told at once, ready or not.
      for (std::size_t i = 0; i < locali.size(); ++i)
        if (locali[i]->Attendi(std::chrono::milliseconds(0)) != EsitoAttesa::InCorso) return i;
      int ms = -1;
      if (!infinito) {
        // Rounded up: a limit is never cut short.
        const auto resto = std::chrono::ceil<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
        if (resto <= 0) return std::nullopt;
        ms = static_cast<int>(std::min<long long>(resto, INT_MAX));
      }
      if (attesa.Aspetta(oggetti.data(), oggetti.size(), ms) == kAttesaFallita && errno != EINTR) return 0;
    }
  } catch (const FineSuSegnale&) {
    // Every one of them ends with the tool, not only the one whose wait heard it.
    for (ProgrammaLocaleLinux* l : locali) l->Termina();
    throw;
  }
}

}  // namespace cw
