// Ending the tool on Windows: Ctrl+C, Ctrl+Break or closing the console end
// the process as the system does by default; the registration worker ends
// with it through its job object, and the programs the tool waits for (the
// builds, Notepad) are left to run, as on Windows they always were. So no
// wait is ever woken by a signal, and there is nothing to register.

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
