#pragma once
// The version a window's fields show may be older than the settings file's:
// another instance saved a newer one since the window read it. Stamping and
// saving the fields then moves the revision back, and the next run reuses a
// number already built. Before a command that stamps or saves the version
// the window reads the file again and, when it changed, lets the user choose.

#include <functional>

#include "commands/contesto.h"
#include "platform/profilo.h"

namespace cw {

// The four version settings as start-up puts them into the fields: the check
// box's key (the lowest bit of its flag), then the three version fields' keys,
// with the defaults of settings/tabella_campi.h; profilo is asked for the
// file before each key.
VersioneSalvata LeggiVersioneSalvata(const std::function<const ProfiloLetto&()>& profilo);

// The values into the four fields.
void MostraVersioneSalvata(Campi& campi, const VersioneSalvata& versione);

// Without ctx.versioneVista, nothing. Otherwise, when the file holds a
// version other than the one remembered and other than the one the fields
// show, asks (style 36) whether to load it: Yes puts it into the fields, No
// keeps the fields. Either way the command goes on, and the file's version
// is remembered as seen.
void ConfermaVersioneSalvata(Contesto& ctx);

// After the command saved the version (or tried to): what the file holds now
// is what the window saw last, when it remembers one at all.
void RicordaVersioneSalvata(Contesto& ctx);

}  // namespace cw
