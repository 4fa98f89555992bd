#include "platform/windows/blocco_prefisso_win32.h"

#include <windows.h>

#include <cstdint>
#include <ctime>

#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

std::string Ragione(DWORD codice) {
  switch (codice) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME: return "la cartella non esiste";
    case ERROR_DIRECTORY: return "non è una cartella";
    case ERROR_ACCESS_DENIED: return "accesso negato";
    case ERROR_SHARING_VIOLATION: return "la cartella è in uso da un altro programma";
    default: return "errore " + std::to_string(codice);
  }
}

// The name of the lock of the folder, machine-wide. From the path the system
// resolves (drive letters of subst and of shares, short names, letter case
// all come out one way), so every spelling of one folder gives one name, and
// so does a folder put in its place.
std::wstring NomeMutex(std::wstring percorso) {
  CharUpperBuffW(percorso.data(), static_cast<DWORD>(percorso.size()));
  std::uint64_t h = 14695981039346656037ull;
  for (const wchar_t c : percorso) {
    h ^= static_cast<std::uint16_t>(c);
    h *= 1099511628211ull;
  }
  std::wstring nome = L"Global\\CompilaWexo-";
  for (int i = 60; i >= 0; i -= 4) nome += L"0123456789ABCDEF"[(h >> i) & 15];
  return nome;
}

// The record of the mutex of that name: "<temp>\CompilaWexo-<hash>.txt".
std::wstring NomeRegistro(const std::wstring& mutex) {
  std::wstring cartella(MAX_PATH + 1, L'\0');
  const DWORD n = GetTempPathW(static_cast<DWORD>(cartella.size()), cartella.data());
  if (n == 0 || n > cartella.size()) return {};
  cartella.resize(n);
  return cartella + mutex.substr(mutex.find(L'\\') + 1) + L".txt";
}

}  // namespace

void BloccoPrefissoWin32::Annota(const std::string& programma, const std::string& comando) {
  if (!mutex_ || registro_.empty()) return;
  const std::string testo = ScriviDetentore({programma, comando, static_cast<std::int64_t>(GetCurrentProcessId()),
                                             static_cast<std::int64_t>(std::time(nullptr))});
  const HANDLE f = CreateFileW(registro_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD scritti = 0;
  WriteFile(f, testo.data(), static_cast<DWORD>(testo.size()), &scritti, nullptr);
  FlushFileBuffers(f);
  CloseHandle(f);
  annotato_ = true;
}

std::optional<DetentoreBlocco> BloccoPrefissoWin32::Detentore() const {
  if (registro_.empty()) return std::nullopt;
  const HANDLE f = CreateFileW(registro_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  char buffer[1024];
  DWORD letti = 0;
  const BOOL ok = ReadFile(f, buffer, sizeof buffer, &letti, nullptr);
  CloseHandle(f);
  if (!ok || letti == 0) return std::nullopt;
  std::optional<DetentoreBlocco> d = LeggiDetentore(std::string_view(buffer, letti));
  if (!d) return d;
  // A holder that has gone left its record: the one at work now wrote none.
  const HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(d->pid));
  if (!p) return GetLastError() == ERROR_INVALID_PARAMETER ? std::nullopt : d;
  DWORD codice = 0;
  const bool vivo = GetExitCodeProcess(p, &codice) && codice == STILL_ACTIVE;
  CloseHandle(p);
  return vivo ? d : std::nullopt;
}

PresaBlocco BloccoPrefissoWin32::Rifiuta(unsigned long codice) {
  motivo_ = "Impossibile bloccare la cartella \"" + radice_ +
            "\" contro un'altra istanza di CompilaWexo: " + Ragione(codice) + ". Nessun file è stato modificato.";
  return PresaBlocco::Impossibile;
}

PresaBlocco BloccoPrefissoWin32::Prendi() {
  if (mutex_) return PresaBlocco::Presa;
  std::wstring radice = Wide(radice_);
  while (radice.size() > 3 && (radice.back() == L'\\' || radice.back() == L'/')) radice.pop_back();
  // Attributes only, which no sharing mode restricts: another instance, or a
  // console whose current folder it is, opens it all the same; only a
  // rename or a removal is kept out.
  const HANDLE cartella = CreateFileW(radice.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (cartella == INVALID_HANDLE_VALUE) {
    const DWORD errore = GetLastError();
    if (errore != ERROR_FILE_NOT_FOUND && errore != ERROR_PATH_NOT_FOUND) return Rifiuta(errore);
    // No suite there yet: nothing to keep in place, and the command fails on
    // its own at its first file, with the run-time error that names it. Two
    // instances still take turns, by the name as written.
    std::wstring intero(MAX_PATH, L'\0');
    const DWORD n = GetFullPathNameW(radice.c_str(), static_cast<DWORD>(intero.size()), intero.data(), nullptr);
    intero.resize(n > 0 && n < MAX_PATH ? n : 0);
    return PrendiMutex(NomeMutex(intero.empty() ? radice : intero), nullptr);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  DWORD errore = ERROR_DIRECTORY;
  std::wstring vero(MAX_PATH, L'\0');
  if (!GetFileInformationByHandle(cartella, &info)) {
    errore = GetLastError();
  } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    DWORD n = GetFinalPathNameByHandleW(cartella, vero.data(), static_cast<DWORD>(vero.size()), 0);
    if (n >= vero.size()) {
      vero.resize(n + 1);
      n = GetFinalPathNameByHandleW(cartella, vero.data(), static_cast<DWORD>(vero.size()), 0);
    }
    errore = n == 0 || n >= vero.size() ? GetLastError() : ERROR_SUCCESS;
    vero.resize(n);
  }
  if (errore != ERROR_SUCCESS) {
    CloseHandle(cartella);
    return Rifiuta(errore);
  }
  return PrendiMutex(NomeMutex(vero), cartella);
}

PresaBlocco BloccoPrefissoWin32::PrendiMutex(const std::wstring& nome, void* cartella) {
  registro_ = NomeRegistro(nome);
  const auto chiudi = [cartella] {
    if (cartella) CloseHandle(cartella);
  };
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, nome.c_str());
  if (!mutex) {
    const DWORD errore = GetLastError();
    chiudi();
    // Made by another user's instance: a name lives only while a handle
    // on it is open.
    if (errore == ERROR_ACCESS_DENIED) return PresaBlocco::Occupata;
    return Rifiuta(errore);
  }
  // Abandoned: its holder died, and the lock is ours.
  const DWORD esito = WaitForSingleObject(mutex, 0);
  if (esito == WAIT_OBJECT_0 || esito == WAIT_ABANDONED) {
    mutex_ = mutex;
    cartella_ = cartella;
    return PresaBlocco::Presa;
  }
  const DWORD errore = GetLastError();
  CloseHandle(mutex);
  chiudi();
  return esito == WAIT_TIMEOUT ? PresaBlocco::Occupata : Rifiuta(errore);
}

void BloccoPrefissoWin32::Lascia() {
  if (!mutex_) return;
  // While still held: the next holder's record is never the one removed.
  if (annotato_) DeleteFileW(registro_.c_str());
  annotato_ = false;
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
  if (cartella_) CloseHandle(cartella_);
  mutex_ = cartella_ = nullptr;
}

}  // namespace cw
