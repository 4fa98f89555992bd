// compilawexo-avvio.exe: starts a Windows program under wine with exactly
// the command line the tool wrote. Wine started directly rebuilds the line
// from the words it was given, quoting only words with blanks, so a program
// that reads its own line (GetCommandLineW) would see another one. The tool
// runs this launcher through wine instead, naming in its environment, in hex
// of UTF-8 so no code page can change a byte:
//   CW_AVVIO_PROGRAMMA  the program's host path
//   CW_AVVIO_RIGA       the command line
//   CW_WINDOW_STYLE     the window style (0 hidden, 1 normal, 2 minimized)
// It waits for the program and ends with its exit code. The program is in a
// job that ends with the launcher, so ending the launcher ends it too.
//
// Its standard input and output are pipes of the tool's (the line protocol of
// platform/linux/protocollo_avvio_linux.h): it says when the program has started, and
// when asked reads the windows the program shows, so a compile that has
// passed its limit can be told by what it asks. The program itself gets the
// NUL device for its standard handles: nothing it or Wine's services keep
// holds a pipe of the tool's or of its caller's.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/linux/protocollo_avvio_linux.h"
#include "platform/windows/finestre_win32.h"
#include "platform/windows/testo_wide_win32.h"

namespace {

std::wstring DaVariabileEsadecimale(const wchar_t* nome, bool& ok) {
  wchar_t buffer[32768];
  const DWORD n = GetEnvironmentVariableW(nome, buffer, 32768);
  ok = n > 0 && n < 32768 && n % 2 == 0;
  if (!ok) return {};
  // Hex digits are ASCII: a wider character is no digit, and fails below.
  std::string hex(n, '\0');
  for (DWORD i = 0; i < n; ++i) hex[i] = buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?';
  std::string byte;
  ok = cw::avvio::DaEsadecimale(hex, byte);
  if (!ok) return {};
  const int k = MultiByteToWideChar(CP_UTF8, 0, byte.data(), static_cast<int>(byte.size()), nullptr, 0);
  std::wstring testo(static_cast<size_t>(k), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, byte.data(), static_cast<int>(byte.size()), testo.data(), k);
  return testo;
}

// Wine's own conversion of a host path to the prefix's drives.
std::wstring PercorsoDos(const std::wstring& host) {
  using Conversione = WCHAR* (*)(LPCSTR);
  const auto converti = reinterpret_cast<Conversione>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!converti) return host;  // not under Wine: the path is a Windows one already
  const int k = WideCharToMultiByte(CP_UTF8, 0, host.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(k), '\0');
  WideCharToMultiByte(CP_UTF8, 0, host.c_str(), -1, utf8.data(), k, nullptr, nullptr);
  WCHAR* dos = converti(utf8.c_str());
  if (!dos) return host;
  std::wstring risultato(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return risultato;
}

void Scrivi(HANDLE uscita, const std::string& testo) {
  DWORD scritti = 0;
  WriteFile(uscita, testo.data(), static_cast<DWORD>(testo.size()), &scritti, nullptr);
}

struct Programma {
  HANDLE lavoro;
  DWORD processo;
};

// Answers the tool's requests until its end of the pipe closes.
DWORD WINAPI Richieste(void* dati) {
  const auto* programma = static_cast<const Programma*>(dati);
  const HANDLE entrata = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE uscita = GetStdHandle(STD_OUTPUT_HANDLE);
  std::string letto;
  char blocco[256];
  DWORD n = 0;
  while (ReadFile(entrata, blocco, sizeof blocco, &n, nullptr) && n > 0) {
    letto.append(blocco, n);
    for (size_t fine; (fine = letto.find('\n')) != std::string::npos;) {
      std::string riga = letto.substr(0, fine);
      letto.erase(0, fine + 1);
      if (!riga.empty() && riga.back() == '\r') riga.pop_back();
      if (riga != cw::avvio::kFinestre) continue;
      std::vector<DWORD> processi = cw::ProcessiDelLavoro(programma->lavoro);
      if (processi.empty()) processi.push_back(programma->processo);
      std::string risposta;
      for (const cw::FinestraMostrata& f : cw::FinestreDeiProcessi(processi)) {
        risposta += std::string(cw::avvio::kFinestra) + '\t' + cw::avvio::Esadecimale(f.titolo) + '\n';
        for (const std::string& t : f.testi)
          risposta += std::string(cw::avvio::kTesto) + '\t' + cw::avvio::Esadecimale(t) + '\n';
      }
      Scrivi(uscita, risposta + cw::avvio::kFine + '\n');
    }
  }
  return 0;
}

// The NUL device, for the program's standard handles.
HANDLE Nulla() {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                     nullptr);
}

}  // namespace

int wmain() {
  bool okProgramma = false, okRiga = false;
  const std::wstring programma = PercorsoDos(DaVariabileEsadecimale(L"CW_AVVIO_PROGRAMMA", okProgramma));
  std::wstring riga = DaVariabileEsadecimale(L"CW_AVVIO_RIGA", okRiga);
  if (!okProgramma || !okRiga) return 127;
  wchar_t stile[8] = L"1";
  GetEnvironmentVariableW(L"CW_WINDOW_STYLE", stile, 8);
  // Nothing of ours reaches the program.
  SetEnvironmentVariableW(L"CW_AVVIO_PROGRAMMA", nullptr);
  SetEnvironmentVariableW(L"CW_AVVIO_RIGA", nullptr);

  HANDLE lavoro = CreateJobObjectW(nullptr, nullptr);
  if (lavoro) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limiti = {};
    limiti.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(lavoro, JobObjectExtendedLimitInformation, &limiti, sizeof limiti);
  }
  // Only the NUL handles go to the program: the launcher's own (the tool's
  // pipes) are kept from it.
  for (const DWORD quale : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
    SetHandleInformation(GetStdHandle(quale), HANDLE_FLAG_INHERIT, 0);
  const HANDLE nulla = Nulla();
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  if (nulla != INVALID_HANDLE_VALUE) {
    si.dwFlags |= STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nulla;
  }
  si.wShowWindow = static_cast<WORD>(stile[0] == L'0'   ? SW_HIDE
                                     : stile[0] == L'2' ? SW_SHOWMINNOACTIVE
                                                        : SW_SHOWNORMAL);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(programma.c_str(), riga.data(), nullptr, nullptr, nulla != INVALID_HANDLE_VALUE, CREATE_SUSPENDED,
                      nullptr, nullptr, &si, &pi))
    return 126;
  if (nulla != INVALID_HANDLE_VALUE) CloseHandle(nulla);
  if (lavoro) AssignProcessToJobObject(lavoro, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  Scrivi(GetStdHandle(STD_OUTPUT_HANDLE), std::string(cw::avvio::kPronto) + '\n');
  Programma dati{lavoro, pi.dwProcessId};
  if (const HANDLE richieste = CreateThread(nullptr, 0, Richieste, &dati, 0, nullptr)) CloseHandle(richieste);
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD codice = 1;
  GetExitCodeProcess(pi.hProcess, &codice);
  CloseHandle(pi.hProcess);
  return static_cast<int>(codice);
}
