/* For tests: EXE servers that fail, with no window. Built twice: one ends
 * at once with exit code 3 whatever its switch; the other (STANDIN_BLOCCA)
 * never ends. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE istanza, HINSTANCE precedente, PWSTR riga, int mostra) {
  (void)istanza;
  (void)precedente;
  (void)riga;
  (void)mostra;
#ifdef STANDIN_BLOCCA
  Sleep(INFINITE);
#endif
  return 3;
}
