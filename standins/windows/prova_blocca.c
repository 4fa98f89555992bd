/* For tests: entry points that never return. */
#include <windows.h>

HRESULT WINAPI DllRegisterServer(void) {
  Sleep(INFINITE);
  return S_OK;
}
HRESULT WINAPI DllUnregisterServer(void) { return DllRegisterServer(); }
