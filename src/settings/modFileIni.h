#pragma once
// modFileIni: the settings file "WexoUty.ini" beside the program's folder.
// Paths here are host paths: the settings file is the one file the program
// names by its host path.

#include <cstdint>
#include <functional>
#include <string>

namespace cw {

inline constexpr const char* kSezioneVersione = "Versione";

// The settings file's path: the folder's path with "WexoUty.ini" appended
// directly (so it lies beside the folder, not in it).
std::string NomeFileIni(const std::string& cartellaProgramma);

std::string LeggiIniStringa(const std::string& file, const std::string& sezione, const std::string& chiave,
                            const std::string& predefinito, std::int16_t dimensioneBuffer);
std::int16_t LeggiIniIntero(const std::string& file, const std::string& sezione, const std::string& chiave,
                            std::int16_t predefinito);
void ScriviIniStringa(const std::string& file, const std::string& sezione, const std::string& chiave,
                      const std::string& valore);
void ScriviIniIntero(const std::string& file, const std::string& sezione, const std::string& chiave,
                     std::int16_t valore);

// Removes the key from the section; a file that cannot be written keeps it.
void CancellaIniChiave(const std::string& file, const std::string& sezione, const std::string& chiave);

// The four version settings, as "Backup e versione" and the full build run
// leave them: "IncrementoAutomatico" (-1 or 0), "Principale", "Secondario",
// "Revisione", in that order. fileIni is asked anew for every value.
void SalvaVersione(const std::function<std::string()>& fileIni, bool incremento, const std::string& principale,
                   const std::string& secondario, const std::string& revisione);

}  // namespace cw
