/* For tests: entry points that end their process instead of returning. */
#include <stdint.h>
#include <unistd.h>

__attribute__((visibility("default"))) int32_t DllRegisterServer(void) { _exit(0); }
__attribute__((visibility("default"))) int32_t DllUnregisterServer(void) { _exit(0); }
