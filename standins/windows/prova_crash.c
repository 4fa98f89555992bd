/* For tests: entry points that crash with an access violation. */
#include <windows.h>

HRESULT WINAPI DllRegisterServer(void) {
  *(volatile int*)0 = 1;
  return S_OK;
}
HRESULT WINAPI DllUnregisterServer(void) { return DllRegisterServer(); }
