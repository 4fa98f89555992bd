/* The stand-ins' registry: a folder "registry-standin" inside the prefix
 * ($WINEPREFIX, or ~/.wine) with one entry per registered file. An entry is
 * named after the file's Windows path (the drive found again through the
 * prefix's dosdevices links, the host path when no drive holds it), with
 * '%', '/', '\', ':' and control characters written as %XX, and holds
 *   Percorso=<Windows path>
 *   File=<host path>
 *   Tipo=dll | exe
 * one per line. Entries are written whole (through a temporary file and a
 * rename); removing a registration deletes its entry. */
#ifndef CW_REGISTRO_STANDIN_H
#define CW_REGISTRO_STANDIN_H

#include <stdint.h>

#define STANDIN_CARTELLA_REGISTRO "registry-standin"
#define STANDIN_S_OK ((int32_t)0)
#define STANDIN_E_FAIL ((int32_t)0x80004005u)

/* Registers (registra != 0) or removes the file at the host path. */
int32_t standin_registra(const char* percorsoHost, int registra, const char* tipo);

#endif
