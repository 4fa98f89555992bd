/* The stand-in in-process server: registering records the library's own
 * file in the stand-ins' registry, removing deletes the record. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>

#include "registro_standin.h"

/* Any object of the library tells dladdr which file it came from. */
static const char g_marca = 0;

static int32_t registra(int si) {
  Dl_info info;
  if (!dladdr(&g_marca, &info) || !info.dli_fname) return STANDIN_E_FAIL;
  return standin_registra(info.dli_fname, si, "dll");
}

__attribute__((visibility("default"))) int32_t DllRegisterServer(void) { return registra(1); }
__attribute__((visibility("default"))) int32_t DllUnregisterServer(void) { return registra(0); }
