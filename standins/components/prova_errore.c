/* For tests: entry points that fail at once with E_FAIL. Each call leaves a
 * mark "errore.<entry point>" in the prefix, so a test can see it ran. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "registro_standin.h"

static int32_t fallisci(const char* nome) {
  const char* p = getenv("WINEPREFIX");
  char file[4096];
  snprintf(file, sizeof file, "%s/errore.%s", p ? p : ".", nome);
  FILE* f = fopen(file, "w");
  if (f) fclose(f);
  return STANDIN_E_FAIL;
}

__attribute__((visibility("default"))) int32_t DllRegisterServer(void) { return fallisci("DllRegisterServer"); }
__attribute__((visibility("default"))) int32_t DllUnregisterServer(void) { return fallisci("DllUnregisterServer"); }
