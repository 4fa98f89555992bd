#pragma once
// Registering and removing every built component of the catalogue: the DLLs
// through RegistraDll, the EXE servers by running them with their switch.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "platform/processi.h"
#include "registration/registratore.h"

namespace cw {

// Runs "path /RegServer" (flag 0) or "path /UnregServer" (any other flag),
// hidden, without quoting the path, and waits for it within the limit. Exit
// code 0 is a success; any other code, or the limit passing (the server and
// all it started are then ended), is one critical box and false. A server
// that cannot be started raises error 53.
bool RegistraExe(Processi& processi, Ui& ui, const std::string& percorso, std::int32_t flag,
                 std::chrono::milliseconds limite = kLimiteRegistrazione);

// What a walk did: the rows registered (or removed) and the output files of
// those that failed, upper case as the log names them.
struct RiepilogoRegistrazione {
  int riuscite = 0;
  std::vector<std::string> fallite;
  bool Fallita() const { return !fallite.empty(); }
};

// Walks every row of the catalogue, registering (true) or removing (false)
// its built file, with the two log lines of each row. A row whose
// registration failed ends in " in corso... ERRORE!", and the walk goes on.
// Rows of an application are walked and counted for neither. A row that
// needs a service the caller did not give raises error 5.
RiepilogoRegistrazione RegistraComponenti(const CatalogoComponenti& catalogo, Ui& ui, RegistratoreDll* registratore,
                                          Processi* processi, bool registra,
                                          std::chrono::milliseconds limiteExe = kLimiteRegistrazione);

}  // namespace cw
