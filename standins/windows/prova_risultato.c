/* For tests: entry points that return STANDIN_RISULTATO at once, doing
 * nothing else: a failure code (0x80040201, a class that could not be
 * registered) or S_FALSE, which is a success. */
#include <windows.h>

#ifndef STANDIN_RISULTATO
#error "STANDIN_RISULTATO: the result to return"
#endif

HRESULT WINAPI DllRegisterServer(void) { return (HRESULT)STANDIN_RISULTATO; }
HRESULT WINAPI DllUnregisterServer(void) { return (HRESULT)STANDIN_RISULTATO; }
