#pragma once
// What a command that rewrites project files checks before its first row,
// so that it either can run to its end or changes nothing: no leftover
// "_tmp" of an interrupted rewrite, and every file it will write writable.

#include <string>
#include <vector>

#include "commands/contesto.h"

namespace cw {

// The files a command will write.
struct FileCoinvolti {
  bool backup = false;         // every row's generations (EseguiBackup)
  bool compatibilita = false;  // the project files that take a compatibility
  bool progetti = false;       // every row's project file
  bool form = false;           // the form files of every row (Sostituisci)
};

// The leftover "_tmp" copies of the files a command rewrites, in catalogue order.
std::vector<std::string> CopieInterrotte(Contesto& ctx, const FileCoinvolti& coinvolti);

// True when no leftover copy is found; otherwise shows them (style 48) and
// answers false. All the preview checks: it writes nothing, so whether the
// files could be written is no concern of it.
bool VerificaCopie(Contesto& ctx, const FileCoinvolti& coinvolti);

// True when the command may start. With leftover copies it shows them
// (style 48) and answers false; a file that cannot be written raises its
// run-time error. Nothing is changed either way.
bool VerificaFile(Contesto& ctx, const FileCoinvolti& coinvolti);

}  // namespace cw
