/* For tests: an entry point that never returns, after starting a process of
 * its own that never ends either. Both identifiers go to "blocca.pid" in the
 * prefix, so a test can see that both are gone once the tool gives up. */
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static int32_t blocca(void) {
  const pid_t figlio = fork();
  if (figlio == 0) {
    for (;;) pause();
  }
  const char* p = getenv("WINEPREFIX");
  char file[4096];
  snprintf(file, sizeof file, "%s/blocca.pid", p ? p : ".");
  FILE* f = fopen(file, "w");
  if (f) {
    fprintf(f, "%ld %ld\n", (long)getpid(), (long)figlio);
    fclose(f);
  }
  for (;;) pause();
  return 0;
}

__attribute__((visibility("default"))) int32_t DllRegisterServer(void) { return blocca(); }
__attribute__((visibility("default"))) int32_t DllUnregisterServer(void) { return blocca(); }
