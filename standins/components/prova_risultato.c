/* For tests: entry points that return STANDIN_RISULTATO at once, doing
 * nothing else: a failure code (0x80040201, a class that could not be
 * registered) or S_FALSE, which is a success. */
#include <stdint.h>

#ifndef STANDIN_RISULTATO
#error "STANDIN_RISULTATO: the result to return"
#endif

__attribute__((visibility("default"))) int32_t DllRegisterServer(void) { return (int32_t)STANDIN_RISULTATO; }
__attribute__((visibility("default"))) int32_t DllUnregisterServer(void) { return (int32_t)STANDIN_RISULTATO; }
