#pragma once
// What a command that reads or writes the suite checks before its first
// row, so that it either can run to its end or changes nothing: no leftover
// "_tmp" of an interrupted rewrite anywhere in the suite, and every file it
// will write writable.

#include <string>
#include <vector>

#include "commands/contesto.h"
#include "projectfile/operazioni_progetto.h"

namespace cw {

// The files a command will write; none: it only reads the suite.
struct FileCoinvolti {
  bool backup = false;         // every row's generations (EseguiBackup)
  bool compatibilita = false;  // the project files that take a compatibility
  bool progetti = false;       // every row's project file
  bool form = false;           // the form files of every row (Sostituisci)
};

// True when the command may start. A leftover copy of any project or form
// file of the suite is shown with the others (style 48) and answers false, and
// so does an empty project file, named with its newest non-empty generation; a
// file the command will write that cannot be written raises its run-time
// error. Nothing is changed either way. On true, elenco (when given)
// receives the suite's files as listed for the check, so that the command
// need not list the "Form" folders again.
bool VerificaFile(Contesto& ctx, const FileCoinvolti& coinvolti, FileSuite* elenco = nullptr);

// The leftover copies and the empty project files alone, as VerificaFile
// refuses them. All the preview
// checks: it writes nothing, so whether the files could be written is no
// concern of it.
bool VerificaCopie(Contesto& ctx);

}  // namespace cw
