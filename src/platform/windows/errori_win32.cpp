#include "platform/windows/errori_win32.h"

#include <windows.h>

#include <string>

#include "base/errors.h"

namespace cw {

namespace {

struct Corrispondenza {
  DWORD codice;
  int numero;
};

// As the Linux service maps errno: a missing drive or folder is a path not
// found, anything held by another process or protected is a permission
// denied, a name the system refuses is a bad file name.
constexpr Corrispondenza kTabella[] = {
    {ERROR_PATH_NOT_FOUND, kPercorsoNonTrovato},
    {ERROR_INVALID_DRIVE, kPercorsoNonTrovato},
    {ERROR_BAD_NETPATH, kPercorsoNonTrovato},
    {ERROR_BAD_NET_NAME, kPercorsoNonTrovato},
    {ERROR_DIRECTORY, kPercorsoNonTrovato},
    {ERROR_ACCESS_DENIED, kAutorizzazioneNegata},
    {ERROR_SHARING_VIOLATION, kAutorizzazioneNegata},
    {ERROR_LOCK_VIOLATION, kAutorizzazioneNegata},
    {ERROR_WRITE_PROTECT, kAutorizzazioneNegata},
    {ERROR_USER_MAPPED_FILE, kAutorizzazioneNegata},
    {ERROR_FILE_EXISTS, kFileGiaEsistente},
    {ERROR_ALREADY_EXISTS, kFileGiaEsistente},
    {ERROR_DISK_FULL, kDiscoPieno},
    {ERROR_HANDLE_DISK_FULL, kDiscoPieno},
    {1295, kDiscoPieno},  // ERROR_DISK_QUOTA_EXCEEDED, missing from the MinGW headers
    {ERROR_INVALID_NAME, kNomeFileNonValido},
    {ERROR_BAD_PATHNAME, kNomeFileNonValido},
    {ERROR_FILENAME_EXCED_RANGE, kNomeFileNonValido},
    {ERROR_INVALID_PARAMETER, kNomeFileNonValido},
};

}  // namespace

int ErroreDaWin32(unsigned long codice, bool missingIsFolder) {
  if (codice == ERROR_FILE_NOT_FOUND) return missingIsFolder ? kPercorsoNonTrovato : kFileNonTrovato;
  for (const auto& c : kTabella)
    if (c.codice == codice) return c.numero;
  return kErroreIo;
}

void SollevaErroreWin32(unsigned long codice, bool missingIsFolder, const char* call, std::string_view percorso) {
  SollevaErrore(ErroreDaWin32(codice, missingIsFolder),
                std::string(call) + " " + std::string(percorso) + ": errore " + std::to_string(codice),
                std::string(percorso));
}

}  // namespace cw
