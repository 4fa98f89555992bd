/* For tests: entry points that fail at once with E_FAIL. Each call leaves a
 * mark "errore.<entry point>" beside the library, so a test can see it ran
 * (a Windows program has no sure way to the prefix's own folder). */
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

static HMODULE g_modulo;

BOOL WINAPI DllMain(HINSTANCE modulo, DWORD motivo, LPVOID riservato) {
  (void)riservato;
  if (motivo == DLL_PROCESS_ATTACH) g_modulo = modulo;
  return TRUE;
}

static HRESULT fallisci(const wchar_t* nome) {
  wchar_t percorso[MAX_PATH + 32];
  const DWORD n = GetModuleFileNameW(g_modulo, percorso, MAX_PATH);
  wchar_t* barra = n && n < MAX_PATH ? wcsrchr(percorso, L'\\') : NULL;
  if (barra) {
    _snwprintf(barra + 1, 32, L"errore.%ls", nome);
    const HANDLE h = CreateFileW(percorso, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return E_FAIL;
}

HRESULT WINAPI DllRegisterServer(void) { return fallisci(L"DllRegisterServer"); }
HRESULT WINAPI DllUnregisterServer(void) { return fallisci(L"DllUnregisterServer"); }
