/* The Windows stand-in out-of-process server: "/RegServer" writes the keys
 * a real one writes for its own file (registro_com.h), "/UnregServer"
 * removes them; any case, "-" for "/". It opens no window. Without a switch
 * it ends at once, which makes it the stand-in for a built application too. */
// windows.h first: shellapi.h needs its definitions.
#include <windows.h>

#include <shellapi.h>

#include "registro_com.h"

int WINAPI wWinMain(HINSTANCE istanza, HINSTANCE precedente, PWSTR riga, int mostra) {
  (void)istanza;
  (void)precedente;
  (void)riga;
  (void)mostra;
  wchar_t percorso[MAX_PATH];
  const DWORD n = GetModuleFileNameW(NULL, percorso, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 1;
  int esito = 0;
  for (int i = 1; i < argc; ++i) {
    const wchar_t* a = argv[i];
    if (a[0] != L'/' && a[0] != L'-') continue;
    if (lstrcmpiW(a + 1, L"RegServer") == 0) {
      esito |= FAILED(standin_registra_com(percorso, 1, STANDIN_FUORI_PROCESSO));
    } else if (lstrcmpiW(a + 1, L"UnregServer") == 0) {
      esito |= FAILED(standin_registra_com(percorso, 0, STANDIN_FUORI_PROCESSO));
    }
  }
  LocalFree(argv);
  return esito;
}
