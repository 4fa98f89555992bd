// compilawexo: the window frmCompilazione; closing it ends the program.

#include <windows.h>

#include "app/win32/finestra_win32.h"
#include "platform/servizi_piattaforma.h"

int WINAPI wWinMain(HINSTANCE istanza, HINSTANCE, PWSTR, int mostra) {
  // Ctrl+C and the end of the session end what a command waits for, then the window.
  cw::CreaServiziSistema().segnali->PreparaFineSuSegnale();
  cw::FinestraCompilazione finestra;
  HWND hwnd = finestra.Crea(istanza);
  if (!hwnd) return 1;
  ShowWindow(hwnd, mostra);
  UpdateWindow(hwnd);
  return finestra.Ciclo();
}
