/* The CLSID of a Windows stand-in component, derived from its file name so
 * that every copy under another name has one of its own: FNV-1a (128 bits)
 * over the UTF-8 bytes of the file name (no folder) with the ASCII letters
 * lower-cased, its 32 hex digits in upper case, most significant first, set
 * out as "{8-4-4-4-12}". Plain C, so that Linux code can compute it too. */
#ifndef CW_CLSID_STANDIN_H
#define CW_CLSID_STANDIN_H

#include <stddef.h>

#define STANDIN_LUNGHEZZA_CLSID 38 /* "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" */

/* Writes the CLSID and its terminating zero into out (39 chars). */
void standin_clsid(const char* nomeFileUtf8, size_t lunghezza, char out[STANDIN_LUNGHEZZA_CLSID + 1]);

#endif
