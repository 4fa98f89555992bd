// A program for the process tests: "esci N" ends with code N, "attendi MS"
// waits MS milliseconds first (and then ends with 0).
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "esci") == 0) return std::atoi(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "attendi") == 0) {
    Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    return 0;
  }
  return 64;
}
