// Ending the tool on Windows: Ctrl+C, Ctrl+Break or closing the console end
// the process as the system does by default; the registration worker and
// every program the tool started (the builds, Notepad, with all they started)
// end with it through their job objects (processes_win32.cpp). So no wait is
// ever woken by a signal, and there is nothing to register here.

#include "platform/fine_su_segnale.h"

namespace cw {

void PreparaFineSuSegnale() {}
int DescrittoreSegnale() { return -1; }
int SegnaleArrivato() { return 0; }
AscoltoSegnale::AscoltoSegnale() = default;
AscoltoSegnale::~AscoltoSegnale() = default;
void RegistraDaTerminare(pid_t, bool) {}
void TogliDaTerminare(pid_t, bool) {}
void RegistraAvviato(pid_t) {}
void TogliAvviato(pid_t) {}

}  // namespace cw
