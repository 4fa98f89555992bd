// compilawexo: the window frmCompilazione; closing it ends the program.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/win32/finestra_win32.h"
#include "commands/riga_finestra.h"
#include "platform/servizi_piattaforma.h"
#include "versione_programma.h"

namespace {

std::vector<std::string> Argomenti() {
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) {
    const wchar_t* w = __wargv[i];
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string a(n > 0 ? static_cast<size_t>(n - 1) : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, a.data(), n, nullptr, nullptr);
    args.push_back(std::move(a));
  }
  return args;
}

// A window program has no console of its own: the answer goes to the handles
// it was started with, or else to the console of the one that started it.
void PreparaUscita() {
  const HANDLE uscita = GetStdHandle(STD_OUTPUT_HANDLE);
  if ((uscita == nullptr || uscita == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE istanza, HINSTANCE, PWSTR, int mostra) {
  // Answered before the window is made, and without it.
  const cw::RigaFinestra riga = cw::LeggiRigaFinestra(Argomenti());
  if (riga.azione != cw::AzioneFinestra::Apri || riga.debug) PreparaUscita();
  if (const auto uscita = cw::RispondiRigaFinestra(riga, cw::kVersioneProgramma)) return *uscita;
  std::string errore;
  const auto traccia = cw::CreaTraccia(riga.debug, errore);
  if (!errore.empty()) {
    std::fprintf(stderr, "compilawexo: %s\n", errore.c_str());
    return 1;
  }
  cw::ImpostaTraccia(traccia.get());
  // Ctrl+C and the end of the session end what a command waits for, then the window.
  cw::CreaServiziSistema().segnali->PreparaFineSuSegnale();
  cw::FinestraCompilazione finestra;
  HWND hwnd = finestra.Crea(istanza);
  if (!hwnd) return 1;
  ShowWindow(hwnd, mostra);
  UpdateWindow(hwnd);
  return finestra.Ciclo();
}
