#pragma once
// The platform's services, made in one place for the program's life: the
// window and the batch front end both start from here. Every service of the
// host is an object reached from here; each platform links its own
// CreaServiziSistema and CreaServiziPiattaforma, which only the front ends
// and the tests call.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/attesa.h"
#include "platform/avvio_wine.h"
#include "platform/blocco_prefisso.h"
#include "platform/cartelle_programma.h"
#include "platform/console.h"
#include "platform/file_esterni.h"
#include "platform/filesystem.h"
#include "platform/fine_su_segnale.h"
#include "platform/keyboard.h"
#include "platform/pausa.h"
#include "platform/processi.h"
#include "platform/profilo.h"
#include "platform/schermo.h"
#include "platform/traccia.h"
#include "platform/trasporto_worker.h"

namespace cw {

struct OpzioniPiattaforma {
  // The front end's own name, for the messages that tell how to start it.
  std::string programma;
  // How the window waits for a program or the registration worker; null:
  // blocked (the batch front end).
  Attesa* attesa = nullptr;
  // The suite's root folder, a Windows path: the instance lock is taken on
  // it (on Linux as the prefix's drives resolve it), so it guards the suite
  // whichever copy of the tool, or whichever prefix, runs.
  std::string radiceSuite = {};
  // Told when the first Windows program under Wine takes more than a second
  // to start, and when it has (Linux only); none: nobody is told.
  AvvisoAvvioWine avvioWine = nullptr;
};

// The services of the host itself, which need no prefix, no suite and no
// window: a front end makes them first, before it reads its arguments, and
// the tests use them as they are.
struct ServiziSistema {
  // The settings file's reads and writes.
  std::unique_ptr<Profilo> profilo;
  // The plain wait between keystrokes.
  std::unique_ptr<Pausa> pausa;
  // The program's own folder and its helpers'.
  std::unique_ptr<CartelleProgramma> cartelle;
  // The terminal program's arguments and console.
  std::unique_ptr<Console> console;
  // The end on a signal, prepared once at the program's start.
  std::unique_ptr<Segnali> segnali;
  // The reports the user names, written whole.
  std::unique_ptr<FileEsterni> fileEsterni;
};

ServiziSistema CreaServiziSistema();

// The trace the user asked for: with COMPILAWEXO_DEBUG=FILE appended to
// FILE, else with debug (--debug) on standard error (on Windows, for a
// window with none, the debugger's output). Null when neither asks, and when
// the file cannot be opened, with the reason naming it in errore. The front
// end hands it to ImpostaTraccia and keeps it for its whole life.
std::unique_ptr<Traccia> CreaTraccia(bool debug, std::string& errore);

struct ServiziPiattaforma {
  // As CreaServiziSistema makes them, for the commands.
  ServiziSistema sistema;
  std::unique_ptr<FileSystem> fso;
  std::unique_ptr<Processi> processi;
  // What a build stopped on a question showed.
  std::unique_ptr<Schermo> schermo;
  // The registration workers, for the registration channel (registration/canale_worker.h).
  std::unique_ptr<AvvioWorker> workers;
  // Opened at the first keystroke, so the tool starts where no desktop is.
  std::unique_ptr<Keyboard> tastiera;
  // Taken per command, so two instances never write over one tree at once.
  std::unique_ptr<BloccoPrefisso> blocco;
  // Why the tool cannot work here (on Linux: the Wine prefix is missing);
  // "" when all is well. The front end shows it and stops.
  std::string problema;
  // The host file a program named on a command line would be started from;
  // none when the platform would not find it.
  std::function<std::optional<std::filesystem::path>(const std::string&)> trovaProgramma;
  // The host folders where no host file named by the user (a report, the
  // settings file) may go, as it could replace a file of the suite: those the
  // drives stand for on Linux, the suite's root on Windows.
  std::function<std::vector<std::filesystem::path>()> cartelleUnita;
  // The settings file's host path, asked anew for every value; none: the
  // program's own folder with "WexoUty.ini" appended, as on Windows.
  std::function<std::string()> fileImpostazioni;
};

ServiziPiattaforma CreaServiziPiattaforma(const OpzioniPiattaforma& opzioni);

}  // namespace cw
