#pragma once
// The full build run, "Backup, compatibilità e compilazione": backup,
// version, compatibility, the compile loop, the error file shown, the
// increment and the settings, the deployment copies and the first
// component's registration moved to its deployed copy.

#include <cstdint>
#include <functional>
#include <string>

#include "commands/comandi.h"
#include "commands/contesto.h"

namespace cw {

inline constexpr const char* kCartellaWexoApp = "D:\\WexoApp";
inline constexpr const char* kCartellaQuilApp = "D:\\QuilApp";

// The compatibility mode of the selected option: "Nessuna" 0, "Progetto" 1,
// otherwise 2 (the "Binaria" button itself is never read).
std::int32_t ModoCompatibilitaScelto(const Campi& campi);

// The message of the first version field that is no version number
// (NumeroDiVersione), or, with the increment on, of a revision whose
// successor would not be one either; nullptr when all three are good. Shared
// by "Backup e versione" and the full build run.
const char* VersioneNonValida(const Campi& campi);

// What must be settled before anything is touched: the version fields
// (VersioneNonValida, its message in a box); with "Nessuna",
// the two questions, whose refusal also puts the pointer back to the
// default. Returns false after a refusal.
bool TuttoConsentito(Contesto& ctx);

// The run's steps inside the command frame, from the backup to the
// registration; the frame's opening and closing are the caller's. fileIni
// names the settings file, asked anew for every value. Fallito when a build
// failed or a registration reported a failure, Completato otherwise.
Esito EseguiTutto(Contesto& ctx, const std::function<std::string()>& fileIni);

}  // namespace cw
