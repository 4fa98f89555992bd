/* The stand-in out-of-process server: "/RegServer" records the program's
 * own file in the stand-ins' registry, "/UnregServer" deletes the record.
 * The switches are taken in any case and with "-" for "/", as servers do. */
#define _GNU_SOURCE
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include "registro_standin.h"

int main(int argc, char** argv) {
  /* The path it was started by: a copy under the built file's name keeps
   * that name. */
  char se[PATH_MAX];
  const char* proprio = argv[0];
  if (!proprio || !strchr(proprio, '/')) {
    const ssize_t n = readlink("/proc/self/exe", se, sizeof se - 1);
    if (n < 0) return 1;
    se[n] = '\0';
    proprio = se;
  }
  int esito = 0;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (a[0] != '/' && a[0] != '-') continue;
    if (strcasecmp(a + 1, "RegServer") == 0) {
      esito |= standin_registra(proprio, 1, "exe") != STANDIN_S_OK;
    } else if (strcasecmp(a + 1, "UnregServer") == 0) {
      esito |= standin_registra(proprio, 0, "exe") != STANDIN_S_OK;
    }
  }
  return esito;
}
