#include "platform/linux/prefisso_linux.h"

#include <cstdlib>
#include <system_error>

namespace cw {

std::string ProblemaPrefisso(const DriveTable& unita, const std::string& programma) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path& cartella = unita.Prefix();
  const char* variabile = std::getenv("WINEPREFIX");
  const std::string origine = variabile && *variabile ? "indicata da WINEPREFIX" : "WINEPREFIX non è impostata";
  std::string testo;
  if (!fs::is_directory(cartella, ec))
    testo = "Prefisso Wine non trovato: la cartella \"" + cartella.string() + "\" non esiste (" + origine + ").";
  else if (!fs::is_directory(cartella / "dosdevices", ec))
    testo = "La cartella \"" + cartella.string() + "\" non è un prefisso Wine: manca la sottocartella dosdevices (" +
            origine + ").";
  else if (!unita.DriveRoot('c'))
    // Every path of the suite is on C:; without it each command would stop
    // at its first file with "file not found".
    testo = "Il prefisso Wine \"" + cartella.string() + "\" non ha il disco C (manca il collegamento dosdevices/c:, " +
            origine + ").";
  else
    return {};
  return testo +
         "\n\nImpostare WINEPREFIX con la cartella del prefisso prima di avviare il programma, per esempio:\n"
         "WINEPREFIX=/percorso/del/prefisso " +
         programma;
}

}  // namespace cw
