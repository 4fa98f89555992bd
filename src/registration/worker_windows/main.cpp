// compilawexo-regworker.exe: the registration worker for Windows libraries,
// run through wine in the prefix whose registry it writes. One process
// serves a whole walk, so Wine's start is paid once: it answers one request
// per line of its standard input until the input ends, in the workers' one
// protocol (registration/protocollo_worker.h).
// The tool bounds every call and ends the worker when the limit passes.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "registration/esame_libreria.h"
#include "registration/protocollo_worker.h"

namespace {

HANDLE g_uscita = INVALID_HANDLE_VALUE;  // our own copy of the report channel
HANDLE g_entrata = INVALID_HANDLE_VALUE;

void Riferisci(const char* passo, const std::string& dettaglio = {}) {
  std::string riga = passo;
  if (!dettaglio.empty()) riga += ' ' + dettaglio;
  for (char& c : riga)
    if (c == '\n' || c == '\r') c = ' ';
  riga += '\n';
  const char* p = riga.data();
  DWORD resto = static_cast<DWORD>(riga.size());
  while (resto > 0) {
    DWORD scritti = 0;
    if (!WriteFile(g_uscita, p, resto, &scritti, nullptr) || scritti == 0) return;  // the tool has gone
    p += scritti;
    resto -= scritti;
  }
  FlushFileBuffers(g_uscita);
}

std::string Utf8(const wchar_t* testo, int n) {
  const int k = WideCharToMultiByte(CP_UTF8, 0, testo, n, nullptr, 0, nullptr, nullptr);
  std::string out(k > 0 ? static_cast<size_t>(k) : 0, '\0');
  if (k > 0) WideCharToMultiByte(CP_UTF8, 0, testo, n, out.data(), k, nullptr, nullptr);
  return out;
}

bool Wide(const std::string& utf8, std::wstring& out) {
  const int n = static_cast<int>(utf8.size());
  const int k = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, nullptr, 0);
  if (k <= 0) return false;
  out.assign(static_cast<size_t>(k), L'\0');
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, out.data(), k) == k;
}

// The system's own words for an error code, on one line.
std::string MessaggioDiSistema(DWORD codice) {
  wchar_t* testo = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, codice, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  std::string out = n ? Utf8(testo, static_cast<int>(n)) : std::string{};
  if (testo) LocalFree(testo);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  char numero[32];
  std::snprintf(numero, sizeof numero, "(errore %lu)", static_cast<unsigned long>(codice));
  return out.empty() ? numero : out + ' ' + numero;
}

// Why the loader refused the file, from its headers; kMotivoRifiutata when
// they show nothing wrong (the system's message then says why).
const char* MotivoDelFile(const std::wstring& percorso) {
  const DWORD attributi = GetFileAttributesW(percorso.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES) {
    const DWORD errore = GetLastError();
    return errore == ERROR_FILE_NOT_FOUND || errore == ERROR_PATH_NOT_FOUND || errore == ERROR_INVALID_DRIVE ||
                   errore == ERROR_BAD_NETPATH
               ? cw::worker::kMotivoMancante
               : cw::worker::kMotivoRifiutata;
  }
  if (attributi & FILE_ATTRIBUTE_DIRECTORY) return cw::worker::kMotivoCartella;
  const HANDLE file =
      CreateFileW(percorso.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return cw::worker::kMotivoRifiutata;
  LARGE_INTEGER dimensione{};
  unsigned char testa[cw::worker::kTestaEsaminata];
  DWORD n = 0;
  const bool letto = GetFileSizeEx(file, &dimensione) && ReadFile(file, testa, sizeof testa, &n, nullptr);
  CloseHandle(file);
  if (!letto) return cw::worker::kMotivoRifiutata;
  const char* motivo =
      cw::worker::MotivoDallIntestazione(testa, n, static_cast<std::uint64_t>(dimensione.QuadPart), false);
  return motivo ? motivo : cw::worker::kMotivoRifiutata;
}

// A crash anywhere in the entry point ends here: report it and end at once,
// before Wine can offer its debugger.
LONG WINAPI Eccezione(EXCEPTION_POINTERS* info) {
  char codice[16];
  std::snprintf(codice, sizeof codice, "%08lX",
                static_cast<unsigned long>(info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0));
  Riferisci(cw::worker::kEccezione, codice);
  ExitProcess(3);
  return EXCEPTION_EXECUTE_HANDLER;
}

// The worker keeps the request and report channels to itself: a component
// that reads its standard input or prints on its standard output must not
// take requests or break into the report. It gets the null device and the
// error channel instead, and the programs it starts inherit neither pipe.
bool TieniCanali() {
  const HANDLE processo = GetCurrentProcess();
  if (!DuplicateHandle(processo, GetStdHandle(STD_INPUT_HANDLE), processo, &g_entrata, 0, FALSE,
                       DUPLICATE_SAME_ACCESS) ||
      !DuplicateHandle(processo, GetStdHandle(STD_OUTPUT_HANDLE), processo, &g_uscita, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return false;
  const int nulla = _open("NUL", _O_RDONLY | _O_BINARY);
  if (nulla >= 0) _dup2(nulla, 0);
  _dup2(2, 1);
  SetStdHandle(STD_INPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(0)));
  SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
  return true;
}

// One line of the input, without its end; false at the end of the input.
bool LeggiRiga(std::string& riga) {
  static std::string accumulo;
  static bool finito = false;
  riga.clear();
  for (;;) {
    const size_t a_capo = accumulo.find('\n');
    if (a_capo != std::string::npos) {
      riga.assign(accumulo, 0, a_capo);
      accumulo.erase(0, a_capo + 1);
      if (!riga.empty() && riga.back() == '\r') riga.pop_back();
      return true;
    }
    if (finito) {
      if (accumulo.empty()) return false;
      riga.swap(accumulo);
      accumulo.clear();
      return true;
    }
    char blocco[4096];
    DWORD letti = 0;
    if (!ReadFile(g_entrata, blocco, sizeof blocco, &letti, nullptr) || letti == 0) {
      finito = true;
    } else {
      accumulo.append(blocco, letti);
    }
  }
}

void Servi(const std::string& richiesta) {
  const size_t tab = richiesta.find(cw::worker::kSeparatore);
  std::wstring percorso;
  if (tab == std::string::npos || tab == 0 || !Wide(richiesta.substr(tab + 1), percorso)) {
    Riferisci(cw::worker::kCaricamentoFallito, std::string(cw::worker::kMotivoRifiutata) + " richiesta non valida");
    return;
  }
  const std::string entryPoint = richiesta.substr(0, tab);
  // The library's own folder comes first for its dependencies, as the
  // system's registration program loads it.
  const HMODULE libreria = LoadLibraryExW(percorso.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!libreria) {
    const std::string messaggio = MessaggioDiSistema(GetLastError());
    Riferisci(cw::worker::kCaricamentoFallito, std::string(MotivoDelFile(percorso)) + ' ' + messaggio);
    return;
  }
  Riferisci(cw::worker::kCaricata);
  using EntryPoint = HRESULT(WINAPI*)();
  const auto funzione =
      reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(libreria, entryPoint.c_str())));
  if (!funzione) {
    FreeLibrary(libreria);
    Riferisci(cw::worker::kEntryPointMancante);
    return;
  }
  Riferisci(cw::worker::kEntryPointTrovato);
  const HRESULT risultato = funzione();
  FreeLibrary(libreria);
  char codice[16];
  std::snprintf(codice, sizeof codice, "%ld", static_cast<long>(risultato));
  Riferisci(cw::worker::kConclusa, codice);
}

}  // namespace

int main() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(Eccezione);
  if (!TieniCanali()) return cw::worker::kUscitaUso;
  Riferisci(cw::worker::kPronto);
  std::string richiesta;
  while (LeggiRiga(richiesta))
    if (!richiesta.empty()) Servi(richiesta);
  return 0;
}
