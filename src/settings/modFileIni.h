#pragma once
// modFileIni: the settings file "WexoUty.ini" beside the program's folder.
// Paths here are host paths: the settings file is the one file the program
// names by its host path. The file is read and written through the
// platform's Profilo, which the caller gives.

#include <cstdint>
#include <functional>
#include <string>

#include "base/ui.h"
#include "platform/profilo.h"
#include "settings/tabella_campi.h"

namespace cw {

// The settings file's path: the folder's path with "WexoUty.ini" appended
// directly (so it lies beside the folder, not in it).
std::string NomeFileIni(const std::string& cartellaProgramma);

std::string LeggiIniStringa(const Profilo& profilo, const std::string& file, const std::string& sezione,
                            const std::string& chiave, const std::string& predefinito, std::int16_t dimensioneBuffer);
std::int16_t LeggiIniIntero(const Profilo& profilo, const std::string& file, const std::string& sezione,
                            const std::string& chiave, std::int16_t predefinito);
// The same over a file already read, for many keys at once.
std::string LeggiIniStringa(const ProfiloLetto& file, const std::string& sezione, const std::string& chiave,
                            const std::string& predefinito, std::int16_t dimensioneBuffer);
std::int16_t LeggiIniIntero(const ProfiloLetto& file, const std::string& sezione, const std::string& chiave,
                            std::int16_t predefinito);
// False when the file could not be written (read-only, a folder, a missing
// folder, a full disk); it then keeps its old values.
bool ScriviIniStringa(Profilo& profilo, const std::string& file, const std::string& sezione, const std::string& chiave,
                      const std::string& valore);
bool ScriviIniIntero(Profilo& profilo, const std::string& file, const std::string& sezione, const std::string& chiave,
                     std::int16_t valore);

// The buffer a field is read back into: a text saved longer than
// kDimensioneBuffer - 1 bytes would come back cut.
inline constexpr std::int16_t kDimensioneBuffer = 255;

// A saved field (settings/tabella_campi.h) by its row: its key read as
// start-up reads it, the table's default when it is missing; and written.
// A field that is not saved reads as its default and writes nothing.
std::string LeggiCampo(const ProfiloLetto& file, Campo campo);
bool ScriviCampo(Profilo& profilo, const std::string& file, Campo campo, const std::string& valore);

// Removes the key from the section, every copy of it when it was written more
// than once (each line the reader would find); a file that cannot be written
// keeps it.
void CancellaIniChiave(Profilo& profilo, const std::string& file, const std::string& sezione,
                       const std::string& chiave);

// The four version settings, as "Backup e versione" and the full build run
// leave them: the check box's key (-1 or 0), then the keys of the three
// version fields, in that order. fileIni is asked anew for every value. Every
// value is tried; false when any of them could not be written.
[[nodiscard]] bool SalvaVersione(Profilo& profilo, const std::function<std::string()>& fileIni, bool incremento,
                                 const std::string& principale, const std::string& secondario,
                                 const std::string& revisione);

// A settings file that starts with the UTF-8 mark was saved as UTF-8 by an
// editor: Windows' reader takes the mark as bytes of the first line, which
// hides the first section, and a save would then add a second one. Such a
// file is refused: the text names the file and the mark; empty for any other
// file. The writers above write nothing into it.
std::string MarcaUtf8Rifiutata(const Profilo& profilo, const std::string& file);

// A lost settings write must be heard of: the next run would reuse the same
// version. Shows "Impossibile salvare le impostazioni in 'file'" (style 48);
// the caller goes on and ends its command as failed.
void AvvisaImpostazioniNonSalvate(Ui& ui, const std::string& file);

}  // namespace cw
