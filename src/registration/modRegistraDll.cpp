#include "registration/modRegistraDll.h"

namespace cw {

RegistratoreIsolato::RegistratoreIsolato(Ui& ui, std::unique_ptr<CanaleRegistrazione> canale,
                                         std::chrono::milliseconds limite, Attesa* attesa)
    : ui_(ui), canale_(std::move(canale)), limite_(limite), attesa_(attesa) {}

bool RegistratoreIsolato::RegistraDll(const std::string& percorso, std::int32_t flag) {
  const char* entryPoint = flag == 0 ? "DllRegisterServer" : "DllUnregisterServer";
  AttesaBloccante bloccante;
  using R = RispostaRegistrazione;
  switch (canale_->Chiedi(entryPoint, percorso, limite_, attesa_ ? *attesa_ : bloccante)) {
    case R::Conclusa: return true;
    case R::CaricamentoFallito: ui_.MsgBox("Errore caricando la DLL", kStileCritico, "Register Server"); return false;
    case R::EntryPointMancante:
    case R::NonAvviato:
      ui_.MsgBox("Registrazione fallita EntryPoint mancante '" + percorso + "'.", kStileCritico,
                 "Registrazione Fallita!");
      return false;
    case R::Errore:
      // The component crashed the worker: told like the time-out, naming the
      // failure for what it is.
      ui_.MsgBox("Registrazione fallita per errore di '" + percorso + "'.", kStileCritico, "Registrazione fallita!");
      return false;
    case R::TimeOut: break;
  }
  // The user learns of the time-out first; the worker is ended once the box
  // is dismissed, even if it has finished meanwhile.
  ui_.MsgBox("Registrazione fallita per time-out da '" + percorso + "'.", kStileCritico, "Registrazione fallita!");
  canale_->Termina();
  return false;
}

}  // namespace cw
