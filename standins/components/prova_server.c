/* For tests: EXE servers that fail. Built twice: one ends at once with exit
 * code 3 whatever its switch; the other (STANDIN_BLOCCA) never ends, after
 * starting a process of its own that never ends either, and writes both
 * identifiers to "server-blocca.pid" in the prefix. */
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(void) {
#ifdef STANDIN_BLOCCA
  const pid_t figlio = fork();
  if (figlio == 0) {
    for (;;) pause();
  }
  const char* p = getenv("WINEPREFIX");
  char file[4096];
  snprintf(file, sizeof file, "%s/server-blocca.pid", p ? p : ".");
  FILE* f = fopen(file, "w");
  if (f) {
    fprintf(f, "%ld %ld\n", (long)getpid(), (long)figlio);
    fclose(f);
  }
  for (;;) pause();
#endif
  return 3;
}
