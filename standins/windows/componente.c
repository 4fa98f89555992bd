/* The Windows stand-in in-process server: registering writes the keys a
 * real one writes for its own file (registro_com.h), removing deletes them. */
#include <windows.h>

#include "registro_com.h"

static HMODULE g_modulo;

BOOL WINAPI DllMain(HINSTANCE modulo, DWORD motivo, LPVOID riservato) {
  (void)riservato;
  if (motivo == DLL_PROCESS_ATTACH) g_modulo = modulo;
  return TRUE;
}

static HRESULT registra(int si) {
  wchar_t percorso[MAX_PATH];
  const DWORD n = GetModuleFileNameW(g_modulo, percorso, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return E_FAIL;
  return standin_registra_com(percorso, si, STANDIN_IN_PROCESSO);
}

HRESULT WINAPI DllRegisterServer(void) { return registra(1); }
HRESULT WINAPI DllUnregisterServer(void) { return registra(0); }
