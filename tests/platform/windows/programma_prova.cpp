// A program for the process tests: "esci N" ends with code N, "attendi MS"
// waits MS milliseconds first (and then ends with 0), "padre FILE" starts
// itself waiting for a minute, writes that child's identifier to FILE and
// never ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
  return 64;
}
