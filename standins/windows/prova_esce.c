/* For tests: entry points that end their process instead of returning. */
#include <windows.h>

HRESULT WINAPI DllRegisterServer(void) {
  ExitProcess(0);
  return S_OK;
}
HRESULT WINAPI DllUnregisterServer(void) { return DllRegisterServer(); }
