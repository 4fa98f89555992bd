#pragma once
// Registering and removing every built component of the catalogue: the DLLs
// through RegistraDll, the EXE servers by starting them with their switch.

#include <cstdint>
#include <string>

#include "catalogue/catalogo.h"
#include "platform/process.h"
#include "platform/ui.h"
#include "registration/registratore.h"

namespace cw {

// Starts "path /RegServer" (flag 0) or "path /UnregServer" (any other flag),
// hidden, without quoting the path, and does not wait for it. A server that
// cannot be started raises error 53.
void RegistraExe(Processes& processi, const std::string& percorso, std::int32_t flag);

// Walks every row of the catalogue, registering (true) or removing (false)
// its built file, with the two log lines of each row. A row whose DLL
// registration failed ends in " in corso... ERRORE!", and the walk goes on.
// Returns true when some row failed. A row that needs a service the caller
// did not give raises error 5.
bool RegistraComponenti(const CatalogoComponenti& catalogo, Ui& ui, RegistratoreDll* registratore, Processes* processi,
                        bool registra);

}  // namespace cw
