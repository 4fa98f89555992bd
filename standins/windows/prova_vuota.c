/* For tests: an ordinary library, exporting no registration entry point. */
#include <windows.h>

int WINAPI StandinNessunaRegistrazione(void) { return 0; }
