// A program for the process tests: "esci N" ends with code N, "attendi MS"
// waits MS milliseconds first (and then ends with 0), "padre FILE" starts
// itself waiting for a minute, writes that child's identifier to FILE and
// never ends. "nipote FILE" starts a copy of itself that waits, writes both
// identifiers into FILE and waits. "strumento attendi|lascia FILE" is the
// tool: it starts "nipote FILE" through the process service, then waits for
// it or ends at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/windows/processi_win32.h"
#include "platform/windows/testo_wide_win32.h"

namespace {

std::string Se() {
  wchar_t percorso[MAX_PATH];
  GetModuleFileNameW(nullptr, percorso, MAX_PATH);
  return cw::Utf8(percorso);
}

int Nipote(const char* file) {
  std::wstring riga = L"\"" + cw::Wide(Se()) + L"\" attendi 600000";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 65;
  FILE* f = std::fopen(file, "w");
  if (!f) return 66;
  std::fprintf(f, "%lu %lu\n", GetCurrentProcessId(), pi.dwProcessId);
  std::fclose(f);
  Sleep(600000);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "padre") == 0) {
    char se[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, se, MAX_PATH)) return 1;
    char riga[MAX_PATH + 32];
    std::snprintf(riga, sizeof riga, "\"%s\" attendi 60000", se);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, riga, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
    if (FILE* f = std::fopen(argv[2], "w")) {
      std::fprintf(f, "%lu\n", static_cast<unsigned long>(pi.dwProcessId));
      std::fclose(f);
    }
    Sleep(INFINITE);
  }
  if (argc == 3 && std::strcmp(argv[1], "esci") == 0) return std::atoi(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "attendi") == 0) {
    Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "nipote") == 0) return Nipote(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "strumento") == 0) {
    cw::ProcessiWin32 processi;
    const auto nipote = processi.Avvia("\"" + Se() + "\" nipote \"" + argv[3] + "\"", cw::kFinestraNascosta);
    if (std::strcmp(argv[2], "attendi") == 0) nipote->Attendi(cw::kSenzaLimite);
    return 0;
  }
  return 64;
}
