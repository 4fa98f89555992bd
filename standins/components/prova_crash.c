/* For tests: entry points that crash the process that calls them. */
#include <signal.h>
#include <stdint.h>

static int32_t cadi(void) {
  raise(SIGSEGV);
  return 0;
}

__attribute__((visibility("default"))) int32_t DllRegisterServer(void) { return cadi(); }
__attribute__((visibility("default"))) int32_t DllUnregisterServer(void) { return cadi(); }
