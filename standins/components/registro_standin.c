#include "registro_standin.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

/* The prefix folder, as the tool finds it. */
static int prefisso(char* out, size_t n) {
  const char* p = getenv("WINEPREFIX");
  if (p && *p) return snprintf(out, n, "%s", p) < (int)n ? 0 : -1;
  const char* home = getenv("HOME");
  if (!home || !*home) return -1;
  return snprintf(out, n, "%s/.wine", home) < (int)n ? 0 : -1;
}

/* The absolute path of the file with its folder's links resolved; the file
 * itself may be a link and keeps its own name. */
static int percorso_reale(const char* host, char* out, size_t n) {
  char copia[PATH_MAX];
  if (snprintf(copia, sizeof copia, "%s", host) >= (int)sizeof copia) return -1;
  char* barra = strrchr(copia, '/');
  const char* nome = host;
  char cartella[PATH_MAX];
  if (barra) {
    *barra = '\0';
    nome = barra + 1;
    if (!realpath(copia[0] ? copia : "/", cartella)) return -1;
  } else if (!getcwd(cartella, sizeof cartella)) {
    return -1;
  }
  return snprintf(out, n, "%s/%s", strcmp(cartella, "/") == 0 ? "" : cartella, nome) < (int)n ? 0 : -1;
}

/* "C:\Orbalis\Componenti\X.dll" for a file on a drive of the prefix. */
static void percorso_windows(const char* pref, const char* reale, char* out, size_t n) {
  snprintf(out, n, "%s", reale);
  char dosdevices[PATH_MAX];
  if (snprintf(dosdevices, sizeof dosdevices, "%s/dosdevices", pref) >= (int)sizeof dosdevices) return;
  DIR* d = opendir(dosdevices);
  if (!d) return;
  long migliore = -1; /* length of the deepest drive root holding the file */
  struct dirent* e;
  while ((e = readdir(d)) != NULL) {
    const char* v = e->d_name;
    if (strlen(v) != 2 || v[1] != ':' || !((v[0] >= 'a' && v[0] <= 'z') || (v[0] >= 'A' && v[0] <= 'Z'))) continue;
    char link[PATH_MAX], radice[PATH_MAX];
    if (snprintf(link, sizeof link, "%s/%s", dosdevices, v) >= (int)sizeof link) continue;
    if (!realpath(link, radice)) continue;
    const size_t l = strcmp(radice, "/") == 0 ? 0 : strlen(radice);
    if (strncmp(reale, radice, l) != 0 || (reale[l] != '/' && reale[l] != '\0')) continue;
    if ((long)l <= migliore) continue;
    char lettera = v[0];
    if (lettera >= 'a' && lettera <= 'z') lettera = (char)(lettera - 'a' + 'A');
    const int k = snprintf(out, n, "%c:%s", lettera, reale[l] ? reale + l : "\\");
    if (k < 0 || (size_t)k >= n) continue;
    migliore = (long)l;
    for (char* c = out + 2; *c; ++c)
      if (*c == '/') *c = '\\';
  }
  closedir(d);
}

static void nome_voce(const char* finestra, char* out, size_t n) {
  size_t j = 0;
  for (const unsigned char* c = (const unsigned char*)finestra; *c && j + 4 < n; ++c) {
    if (*c == '%' || *c == '/' || *c == '\\' || *c == ':' || *c < 0x20 || *c == 0x7F) {
      j += (size_t)snprintf(out + j, n - j, "%%%02X", *c);
    } else {
      out[j++] = (char)*c;
    }
  }
  out[j] = '\0';
}

int32_t standin_registra(const char* percorsoHost, int registra, const char* tipo) {
  char pref[PATH_MAX], reale[PATH_MAX], finestra[PATH_MAX], nome[NAME_MAX + 1], cartella[PATH_MAX];
  char voce[PATH_MAX], temporaneo[PATH_MAX];
  if (prefisso(pref, sizeof pref) < 0 || percorso_reale(percorsoHost, reale, sizeof reale) < 0) return STANDIN_E_FAIL;
  percorso_windows(pref, reale, finestra, sizeof finestra);
  nome_voce(finestra, nome, sizeof nome);
  if (snprintf(cartella, sizeof cartella, "%s/%s", pref, STANDIN_CARTELLA_REGISTRO) >= (int)sizeof cartella ||
      snprintf(voce, sizeof voce, "%s/%s", cartella, nome) >= (int)sizeof voce)
    return STANDIN_E_FAIL;
  if (!registra) return (unlink(voce) == 0 || errno == ENOENT) ? STANDIN_S_OK : STANDIN_E_FAIL;

  if (mkdir(cartella, 0777) < 0 && errno != EEXIST) return STANDIN_E_FAIL;
  if (snprintf(temporaneo, sizeof temporaneo, "%s/.tmp-%ld", cartella, (long)getpid()) >= (int)sizeof temporaneo)
    return STANDIN_E_FAIL;
  FILE* f = fopen(temporaneo, "w");
  if (!f) return STANDIN_E_FAIL;
  const int scritto = fprintf(f, "Percorso=%s\nFile=%s\nTipo=%s\n", finestra, reale, tipo);
  if (fclose(f) != 0 || scritto < 0 || rename(temporaneo, voce) != 0) {
    unlink(temporaneo);
    return STANDIN_E_FAIL;
  }
  return STANDIN_S_OK;
}
