#pragma once
// The window's commands, one handler per button and menu entry, and the
// table that tells the window which ones exist.

#include <functional>
#include <string>
#include <vector>

#include "commands/contesto.h"

namespace cw {

// How a command ended; the window ignores it, the batch front end turns it
// into its exit status.
enum class Esito {
  Completato,  // ran to its closing step
  Fallito,     // a build or a registration failed, the settings were not saved, or copies were left; the user was told
  Rifiutato,   // refused its input (a validation message, a refused question)
  ErroreRuntime,  // stopped by a run-time error, shown in its box
};

using Gestore = Esito (*)(Contesto&);

// What a command reads of the window's fields; the batch mode takes it as
// the command's words or options.
struct CampiLetti {
  bool compatibilita = false;  // the option group
  bool versione = false;       // the three version fields and the check box
  bool proprieta = false;      // the four version-information texts
  bool guid = false;           // the old and the new GUID
};

struct VoceComando {
  const char* nome;  // the control's name, "cmdBackup", "mnuGeneraVbg", ...
  Gestore gestore;
  bool scrive = true;  // writes files or the registry: runs holding the prefix lock
  // The batch mode's command that runs it ("backup"); none: the window's
  // own, or reached in the batch mode by an option of another command.
  const char* batch = nullptr;
  CampiLetti legge = {};
};

// The commands that are built: the buttons, then the menu's entries, in the
// order the batch mode's help lists its commands.
const std::vector<VoceComando>& TabellaComandi();

// Runs one handler as the click dispatcher does: a run-time error raised by
// it is shown in the critical box titled "CompilaWexo" and ends the command;
// the pointer goes back to the default and the log keeps its lines. A
// command that writes first takes the prefix lock and writes down who holds
// it (Contesto::programma and the command's batch word, else its control's
// name); held by another instance, "CompilaWexo è già in esecuzione su questo
// prefisso" (style 48), followed by ": compilawexo-batch tutto, dalle 10:42"
// when the holder's record can be read, refuses it.
Esito EseguiComando(Contesto& ctx, Gestore gestore);

// Lets go of the prefix lock before a command's last box, when nothing is
// written after it; the end of EseguiComando then finds it let go already.
void LasciaBlocco(Contesto& ctx);

// A click on a window's button or menu entry, for both windows: EseguiComando,
// unless a command is already running. inCorso is the window's own flag,
// true from the click to the command's end: the compile loop and Vb-Build
// pump events, and a click that comes in then must not start a second
// command inside the first. An end on a signal hands its exit status to
// chiudi, which ends the window; any other exception is a fault of ours, shown
// in the critical box rather than taking the window down with the user's log.
void EseguiClic(Contesto& ctx, Gestore gestore, bool& inCorso, const std::function<void(int uscita)>& chiudi);

// Start-up: the eight settings of section "Versione" read, in order, into
// the fields; "Binaria" selected. Returns the four version settings read,
// which a window keeps as Contesto::versioneVista.
VersioneSalvata CaricaImpostazioni(Contesto& ctx);

// The compatibility mode of the selected option: "Nessuna", "Progetto",
// otherwise "Binaria" (what is left; its own button is never read).
Compatibilita ModoCompatibilitaScelto(const Campi& campi);

// The full build run's steps over the context, without the frame: Fallito
// when a build failed or a registration reported a failure.
Esito EseguiTutto(Contesto& ctx);

// Handlers (Italian names of the window's controls).
Esito cmdBackup_Click(Contesto& ctx);
Esito cmdBackupCompatibilita_Click(Contesto& ctx);
Esito cmdTutto_Click(Contesto& ctx);
Esito cmdImpostaVersione_Click(Contesto& ctx);
Esito cmdRegistra_Click(Contesto& ctx);
Esito cmdRimuovi_Click(Contesto& ctx);
Esito cmdApplica_Click(Contesto& ctx);
Esito cmdChangeGuid_Click(Contesto& ctx);
Esito mnuGeneraVbg_Click(Contesto& ctx);
Esito mnuVbBuild_Click(Contesto& ctx);
Esito mnuIndirizziBaseDll_Click(Contesto& ctx);
// "Grafo dei riferimenti": one log line per row, "N) PROGETTO.VBP:" and the
// rows it needs (projectfile/grafo_riferimenti.h); the references to later
// rows in one box (style 48); rows that need one another in another box,
// and the command ends Rifiutato.
Esito mnuGrafoRiferimenti_Click(Contesto& ctx);
// The same graph in Graphviz's language, one log line each (batch "grafo
// --dot"); reached by no control.
Esito GrafoRiferimentiDot(Contesto& ctx);
// The base address report followed by its overlap section; Fallito when
// any two DLLs' ranges overlap.
Esito mnuSovrapposizioniDll_Click(Contesto& ctx);
// The overlap section's proposed addresses written into the project files,
// after the backup; refused when the range has no room for all of them. A
// file without the key and without a "Type=" line to put it after is left
// alone, its row ends " ERRORE!" after a box (style 48) naming it, and the
// command ends Fallito.
Esito mnuApplicaIndirizziDll_Click(Contesto& ctx);
// "Riprendi compilazione": the full run from the row where the last one's
// compile failed, without backup, version, compatibility or increment;
// "Nessuna compilazione da riprendere" (style 64) when no row is stored.
Esito mnuRiprendiCompilazione_Click(Contesto& ctx);
// "Ripristina file interrotti": every leftover "_tmp" put back over its file;
// a file whose content would be lost is first renamed X_interrotto (or
// X_interrotto2, ...). Refused, with nothing changed, while a copy is empty
// beside a file that is not. A "_tmp" that is not a plain file (a link, a
// folder, a FIFO) is left where it is and named in the closing box, and the
// command ends as failed.
Esito mnuRipristina_Click(Contesto& ctx);

}  // namespace cw
