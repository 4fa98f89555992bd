#include "platform/windows/filesystem_win32.h"

#include <windows.h>
// The service's own names, not the system's macros.
#undef CopyFile
#undef DeleteFile

#include "base/errors.h"
#include "base/flusso_lettura.h"
#include "platform/windows/errori_win32.h"
#include "platform/windows/flusso_scrittura_win32.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

// What is at a path: its attributes, or the reason there is nothing.
struct Voce {
  enum class Stato { Trovata, FileMancante, CartellaMancante } stato;
  DWORD attributi = 0;
  DWORD errore = 0;

  bool Cartella() const { return (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool SolaLettura() const { return (attributi & FILE_ATTRIBUTE_READONLY) != 0; }
};

Voce Cerca(const std::wstring& w) {
  const DWORD a = GetFileAttributesW(w.c_str());
  if (a != INVALID_FILE_ATTRIBUTES) return {Voce::Stato::Trovata, a, 0};
  const DWORD err = GetLastError();
  if (err == ERROR_FILE_NOT_FOUND) return {Voce::Stato::FileMancante, 0, err};
  return {Voce::Stato::CartellaMancante, 0, err};
}

// The path must name an existing file: 76 for a missing folder, 53 for a
// missing file, 75 for a folder.
Voce FileEsistente(const std::wstring& w, std::string_view percorso) {
  const Voce v = Cerca(w);
  if (v.stato == Voce::Stato::FileMancante) SollevaErrorePercorso(kFileNonTrovato, percorso);
  if (v.stato == Voce::Stato::CartellaMancante) SollevaErroreWin32(v.errore, true, "GetFileAttributesW", percorso);
  if (v.Cartella()) SollevaErrorePercorso(kErroreAccessoPercorso, percorso);
  return v;
}

// The path is about to be created or replaced: 76 for a missing folder, 75
// for a folder, 70 for a read-only file.
Voce FileSostituibile(const std::wstring& w, std::string_view percorso) {
  const Voce v = Cerca(w);
  if (v.stato == Voce::Stato::CartellaMancante) SollevaErroreWin32(v.errore, true, "GetFileAttributesW", percorso);
  if (v.stato == Voce::Stato::Trovata && v.Cartella()) SollevaErrorePercorso(kErroreAccessoPercorso, percorso);
  if (v.stato == Voce::Stato::Trovata && v.SolaLettura()) SollevaErrorePercorso(kAutorizzazioneNegata, percorso);
  return v;
}

// A copy of the source written beside the destination as destination + "~",
// writable whatever the source's attribute, for a rename over it.
std::wstring CopiaAccanto(const std::wstring& src, const std::wstring& dst, std::string_view destinazione) {
  const std::wstring temp = dst + L"~";
  // A leftover of a copy that was killed.
  SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(temp.c_str());
  if (!CopyFileW(src.c_str(), temp.c_str(), TRUE)) {
    const DWORD err = GetLastError();
    DeleteFileW(temp.c_str());
    SollevaErroreWin32(err, true, "CopyFileW", destinazione);
  }
  const DWORD a = GetFileAttributesW(temp.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(temp.c_str(), a & ~DWORD{FILE_ATTRIBUTE_READONLY});
  return temp;
}

// The copy's data on the disk before anything else happens to it.
void ScriviSuDisco(const std::wstring& temp, std::string_view destinazione) {
  const HANDLE h =
      CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD err = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  if (!err && !FlushFileBuffers(h)) err = GetLastError();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  if (err) {
    DeleteFileW(temp.c_str());
    SollevaErroreWin32(err, false, "FlushFileBuffers", destinazione);
  }
}

// The temporary copy renamed over the destination; with suDisco the call
// returns once the rename is on the disk.
void Sostituisci(const std::wstring& temp, const std::wstring& dst, std::string_view destinazione,
                 bool suDisco = false) {
  const DWORD modo = MOVEFILE_REPLACE_EXISTING | (suDisco ? MOVEFILE_WRITE_THROUGH : 0);
  if (!MoveFileExW(temp.c_str(), dst.c_str(), modo)) {
    const DWORD err = GetLastError();
    DeleteFileW(temp.c_str());
    SollevaErroreWin32(err, false, "MoveFileExW", destinazione);
  }
}

std::string LeggiTutto(HANDLE h, std::string_view percorso) {
  std::string dati;
  LARGE_INTEGER dimensione{};
  if (GetFileSizeEx(h, &dimensione)) dati.reserve(static_cast<size_t>(dimensione.QuadPart));
  char blocco[64 * 1024];
  for (;;) {
    DWORD letti = 0;
    if (!ReadFile(h, blocco, sizeof blocco, &letti, nullptr)) {
      const DWORD err = GetLastError();
      CloseHandle(h);
      SollevaErroreWin32(err == ERROR_DISK_FULL ? ERROR_READ_FAULT : err, false, "ReadFile", percorso);
    }
    if (letti == 0) break;
    dati.append(blocco, letti);
  }
  CloseHandle(h);
  return dati;
}

}  // namespace

std::wstring FileSystemWin32::Nativo(std::string_view path) const {
  if (path.size() >= 2 && path[1] == ':' && (path.size() == 2 || path[2] == '\\' || path[2] == '/')) {
    const char lettera = static_cast<char>(path[0] >= 'a' && path[0] <= 'z' ? path[0] - 'a' + 'A' : path[0]);
    if (const auto r = radici_.find(lettera); r != radici_.end()) {
      std::wstring radice = r->second.wstring();
      while (!radice.empty() && (radice.back() == L'\\' || radice.back() == L'/')) radice.pop_back();
      return radice + (path.size() == 2 ? std::wstring(L"\\") : Wide(path.substr(2)));
    }
  }
  return Wide(path);
}

bool FileSystemWin32::FileExists(std::string_view path) {
  const Voce v = Cerca(Nativo(path));
  return v.stato == Voce::Stato::Trovata && !v.Cartella();
}

TipoVoce FileSystemWin32::Tipo(std::string_view path) {
  // The attributes are the entry's own: a reparse point is not followed.
  const Voce v = Cerca(Nativo(path));
  if (v.stato != Voce::Stato::Trovata) return TipoVoce::Nessuna;
  if (v.attributi & FILE_ATTRIBUTE_REPARSE_POINT) return TipoVoce::Collegamento;
  if (v.Cartella()) return TipoVoce::Cartella;
  return (v.attributi & FILE_ATTRIBUTE_DEVICE) ? TipoVoce::Altro : TipoVoce::File;
}

bool FileSystemWin32::FolderExists(std::string_view path) {
  const Voce v = Cerca(Nativo(path));
  return v.stato == Voce::Stato::Trovata && v.Cartella();
}

void FileSystemWin32::CopyFile(std::string_view source, std::string_view destination, bool overwrite) {
  const std::wstring src = Nativo(source), dst = Nativo(destination);
  FileEsistente(src, source);
  const Voce d = Cerca(dst);
  if (d.stato == Voce::Stato::CartellaMancante) SollevaErroreWin32(d.errore, true, "GetFileAttributesW", destination);
  if (d.stato == Voce::Stato::FileMancante) {
    // A new copy takes the source's attributes, read-only included.
    if (!CopyFileW(src.c_str(), dst.c_str(), TRUE)) {
      const DWORD err = GetLastError();
      // What a failed copy began goes; a file made meanwhile by another stays.
      if (err != ERROR_FILE_EXISTS) DeleteFileW(dst.c_str());
      SollevaErroreWin32(err, true, "CopyFileW", destination);
    }
    return;
  }
  if (!overwrite) SollevaErrorePercorso(kFileGiaEsistente, destination);
  if (d.Cartella()) SollevaErrorePercorso(kErroreAccessoPercorso, destination);
  if (d.SolaLettura()) SollevaErrorePercorso(kAutorizzazioneNegata, destination);
  // Copied beside it and renamed over it: CopyFileW onto the file itself
  // would leave it half written on a full disk.
  const std::wstring temp = CopiaAccanto(src, dst, destination);
  const DWORD a = GetFileAttributesW(src.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(temp.c_str(), GetFileAttributesW(temp.c_str()) | FILE_ATTRIBUTE_READONLY);
  Sostituisci(temp, dst, destination);
}

void FileSystemWin32::DeleteFile(std::string_view path, bool force) {
  const std::wstring w = Nativo(path);
  const Voce v = FileEsistente(w, path);
  if (v.SolaLettura()) {
    if (!force) SollevaErrorePercorso(kAutorizzazioneNegata, path);
    if (!SetFileAttributesW(w.c_str(), v.attributi & ~DWORD{FILE_ATTRIBUTE_READONLY}))
      SollevaErroreWin32(GetLastError(), false, "SetFileAttributesW", path);
  }
  if (!DeleteFileW(w.c_str())) {
    const DWORD err = GetLastError();
    if (v.SolaLettura()) SetFileAttributesW(w.c_str(), v.attributi);
    SollevaErroreWin32(err, false, "DeleteFileW", path);
  }
}

void FileSystemWin32::RenameFile(std::string_view source, std::string_view destination) {
  const std::wstring src = Nativo(source), dst = Nativo(destination);
  FileEsistente(src, source);
  FileSostituibile(dst, destination);
  if (!MoveFileExW(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING))
    SollevaErroreWin32(GetLastError(), false, "MoveFileExW", destination);
}

void FileSystemWin32::CopyFileWhole(std::string_view source, std::string_view destination) {
  const std::wstring src = Nativo(source), dst = Nativo(destination);
  FileEsistente(src, source);
  FileSostituibile(dst, destination);
  Sostituisci(CopiaAccanto(src, dst, destination), dst, destination);
}

void FileSystemWin32::CopyFileWholeFlushed(std::string_view source, std::string_view destination) {
  const std::wstring src = Nativo(source), dst = Nativo(destination);
  FileEsistente(src, source);
  FileSostituibile(dst, destination);
  const std::wstring temp = CopiaAccanto(src, dst, destination);
  ScriviSuDisco(temp, destination);
  Sostituisci(temp, dst, destination, true);
}

void FileSystemWin32::FlushFile(std::string_view path) {
  const std::wstring w = Nativo(path);
  FileEsistente(w, path);
  // FlushFileBuffers wants a handle that may write; it flushes the file's
  // metadata with its data, so its folder entry needs nothing more.
  const HANDLE h = CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD err = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  if (!err && !FlushFileBuffers(h)) err = GetLastError();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  if (err) SollevaErroreWin32(err, false, "FlushFileBuffers", path);
}

void FileSystemWin32::CheckWritable(std::string_view path) {
  const std::wstring w = Nativo(path);
  FileSostituibile(w, path);
  // New files (a copy, a renamed generation) need a folder that takes them:
  // only trying tells, the folder's own attribute means nothing here.
  const size_t barra = w.find_last_of(L"\\/");
  const std::wstring cartella = barra == std::wstring::npos ? L"." : w.substr(0, barra + 1);
  const std::wstring prova = cartella + L"~cw" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const HANDLE h = CreateFileW(prova.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    // One left by a killed instance with our identifier still proves it.
    if (err == ERROR_FILE_EXISTS) return;
    SollevaErrore(ErroreDaWin32(err, true) == kPercorsoNonTrovato ? kPercorsoNonTrovato : kAutorizzazioneNegata,
                  "CreateFileW " + Utf8(prova), std::string(path));
  }
  CloseHandle(h);
}

std::unique_ptr<TextStream> FileSystemWin32::OpenTextFile(std::string_view path, IOMode mode, bool create) {
  if (mode != IOMode::ForReading && mode != IOMode::ForWriting && mode != IOMode::ForAppending)
    SollevaErrore(kChiamataNonValida, "OpenTextFile mode");
  const std::wstring w = Nativo(path);
  const Voce v = Cerca(w);
  if (v.stato == Voce::Stato::CartellaMancante) SollevaErroreWin32(v.errore, true, "GetFileAttributesW", path);
  const bool manca = v.stato == Voce::Stato::FileMancante;
  if (manca && !create) SollevaErrorePercorso(kFileNonTrovato, path);
  if (!manca && v.Cartella()) SollevaErrorePercorso(kErroreAccessoPercorso, path);

  if (mode == IOMode::ForReading) {
    const HANDLE h = CreateFileW(w.c_str(), manca ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, manca ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) SollevaErroreWin32(GetLastError(), manca, "CreateFileW", path);
    if (manca) {
      CloseHandle(h);
      return std::make_unique<ReadingStream>(std::string());
    }
    return std::make_unique<ReadingStream>(LeggiTutto(h, path));
  }

  if (!manca && v.SolaLettura()) SollevaErrorePercorso(kAutorizzazioneNegata, path);
  const bool aggiunta = mode == IOMode::ForAppending;
  const DWORD come = manca ? CREATE_NEW : aggiunta ? OPEN_EXISTING : TRUNCATE_EXISTING;
  const HANDLE h = CreateFileW(w.c_str(), aggiunta ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr, come,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) SollevaErroreWin32(GetLastError(), manca, "CreateFileW", path);
  return std::make_unique<WritingStream>(std::make_unique<DestinazioneScritturaWin32>(h, std::string(path)));
}

FolderListing FileSystemWin32::GetFolder(std::string_view path) {
  std::wstring w = Nativo(path);
  const Voce v = Cerca(w);
  if (v.stato != Voce::Stato::Trovata || !v.Cartella()) SollevaErrorePercorso(kPercorsoNonTrovato, path);
  while (!w.empty() && (w.back() == L'\\' || w.back() == L'/')) w.pop_back();
  FolderListing out;
  WIN32_FIND_DATAW dati{};
  const HANDLE h = FindFirstFileW((w + L"\\*").c_str(), &dati);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_NOT_FOUND && err != ERROR_NO_MORE_FILES)
      SollevaErroreWin32(err, true, "FindFirstFileW", path);
  } else {
    do {
      const std::wstring_view nome = dati.cFileName;
      if (!(dati.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        out.FileNames.push_back(Utf8(dati.cFileName));
      } else if (nome != L"." && nome != L"..") {
        out.AltreVoci.push_back(Utf8(dati.cFileName));
      }
    } while (FindNextFileW(h, &dati));
    FindClose(h);
  }
  // The folder's path as the caller wrote it, without trailing separators;
  // a drive's root keeps its one, as "C:\".
  std::string p(path);
  while (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.size() == 2 && p[1] == ':') p += '\\';
  out.Path = std::move(p);
  return out;
}

}  // namespace cw
