#pragma once
// The host services seen through the trace (platform/traccia.h): each wraps
// a platform's own and writes one line for every program started, waited
// for or ended, every lock, every file replaced or removed, then does what
// the wrapped one does. A platform wraps its services only when the trace
// is on, so an untraced run goes through none of this.

#include <memory>

#include "platform/blocco_prefisso.h"
#include "platform/filesystem.h"
#include "platform/processi.h"

namespace cw {

std::unique_ptr<Processi> ProcessiTracciati(std::unique_ptr<Processi> processi);
std::unique_ptr<FileSystem> FileSystemTracciato(std::unique_ptr<FileSystem> fso);
std::unique_ptr<BloccoPrefisso> BloccoTracciato(std::unique_ptr<BloccoPrefisso> blocco);

struct ServiziPiattaforma;
// The platform's services wrapped, when the trace is on; as they are when off.
void TracciaServizi(ServiziPiattaforma& servizi);

}  // namespace cw
