#pragma once
// "Anteprima modifiche": what the compatibility, version, properties and GUID
// commands would write, as a unified diff per changed file, computed from the
// very rules the commands run and with nothing written anywhere.

#include <string>
#include <vector>

#include "commands/comandi.h"

namespace cw {

enum class ComandoAnteprima { Compatibilita, Versione, Proprieta, Guid };

struct Anteprima {
  std::string diff;  // UTF-8, the files' diffs one after the other
  int file = 0;      // files that would change
  int righe = 0;     // lines that would change
};

// "File da modificare: N, righe da modificare: M".
std::string RiepilogoAnteprima(const Anteprima& anteprima);

// The command's own refusals first (its message box: invalid fields, leftover
// "_tmp" copies; a read-only file is no refusal, since nothing is written),
// then its rules over every file it would rewrite, with the fields as they
// stand. Rifiutato after a refusal.
Esito CalcolaAnteprima(Contesto& ctx, ComandoAnteprima comando, Anteprima& anteprima);

// The handler of each previewed command for the batch front end, by the
// window control of the command ("cmdImpostaVersione", ...); none for a
// command without a preview. It shows the diff and its summary through
// ctx.mostraAnteprima.
Gestore GestoreAnteprima(const std::string& controllo);

// The window's entry: one section, headed by the button's caption, for each
// command whose fields are filled in (the compatibility always, the version
// and the properties when any of their fields holds a text, the GUID when
// both do).
Esito mnuAnteprimaModifiche_Click(Contesto& ctx);

}  // namespace cw
