#include "agente/registrazione_agente.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "agente/canali_agente.h"
#include "platform/windows/testo_wide_win32.h"
#include "registration/esame_libreria.h"
#include "registration/protocollo_worker.h"

namespace cw::agente {

namespace {

// Strict, unlike the shared conversion: a path that is no UTF-8 is refused,
// not loaded as another file.
bool WideStretto(const std::string& utf8, std::wstring& out) {
  const int n = static_cast<int>(utf8.size());
  const int k = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, nullptr, 0);
  if (k <= 0) return false;
  out.assign(static_cast<size_t>(k), L'\0');
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, out.data(), k) == k;
}

// Why the loader refused the file, from its headers; kMotivoRifiutata when
// they show nothing wrong (the system's message then says why).
const char* MotivoDelFile(const std::wstring& percorso) {
  const DWORD attributi = GetFileAttributesW(percorso.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES) {
    const DWORD errore = GetLastError();
    return errore == ERROR_FILE_NOT_FOUND || errore == ERROR_PATH_NOT_FOUND || errore == ERROR_INVALID_DRIVE ||
                   errore == ERROR_BAD_NETPATH
               ? worker::kMotivoMancante
               : worker::kMotivoRifiutata;
  }
  if (attributi & FILE_ATTRIBUTE_DIRECTORY) return worker::kMotivoCartella;
  const HANDLE file =
      CreateFileW(percorso.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return worker::kMotivoRifiutata;
  LARGE_INTEGER dimensione{};
  unsigned char testa[worker::kTestaEsaminata];
  DWORD n = 0;
  const bool letto = GetFileSizeEx(file, &dimensione) && ReadFile(file, testa, sizeof testa, &n, nullptr);
  CloseHandle(file);
  if (!letto) return worker::kMotivoRifiutata;
  const char* motivo = worker::MotivoDallIntestazione(testa, n, static_cast<std::uint64_t>(dimensione.QuadPart), false,
                                                      static_cast<int>(sizeof(void*) * 8));
  return motivo ? motivo : worker::kMotivoRifiutata;
}

}  // namespace

std::string MessaggioDiSistema(unsigned long codice) {
  wchar_t* testo = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, codice, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  std::string out = n ? Utf8(std::wstring_view(testo, n)) : std::string{};
  if (testo) LocalFree(testo);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  char numero[32];
  std::snprintf(numero, sizeof numero, "(errore %lu)", codice);
  return out.empty() ? numero : out + ' ' + numero;
}

void ServiRegistrazione(const std::string& entryPoint, const std::string& percorsoUtf8) {
  std::wstring percorso;
  if (entryPoint.empty() || !WideStretto(percorsoUtf8, percorso)) {
    Riferisci(worker::kCaricamentoFallito, std::string(worker::kMotivoRifiutata) + " richiesta non valida");
    return;
  }
  const HMODULE libreria = LoadLibraryExW(percorso.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!libreria) {
    const std::string messaggio = MessaggioDiSistema(GetLastError());
    Riferisci(worker::kCaricamentoFallito, std::string(MotivoDelFile(percorso)) + ' ' + messaggio);
    return;
  }
  Riferisci(worker::kCaricata);
  using EntryPoint = HRESULT(WINAPI*)();
  const auto funzione =
      reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(libreria, entryPoint.c_str())));
  if (!funzione) {
    FreeLibrary(libreria);
    Riferisci(worker::kEntryPointMancante);
    return;
  }
  Riferisci(worker::kEntryPointTrovato);
  const HRESULT risultato = funzione();
  FreeLibrary(libreria);
  char codice[16];
  std::snprintf(codice, sizeof codice, "%ld", static_cast<long>(risultato));
  Riferisci(worker::kConclusa, codice);
}

}  // namespace cw::agente
