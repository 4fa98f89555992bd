#include "registration/modRegistraDll.h"

#include "platform/linux_process.h"
#include "registration/protocollo_worker.h"
#include "registration/sessione_worker.h"

namespace cw {

std::filesystem::path PercorsoWorkerPredefinito() { return CartellaEseguibile() / worker::kNomeProgramma; }

RegistratoreIsolato::RegistratoreIsolato(Ui& ui, DriveTable drives, std::filesystem::path worker,
                                         std::chrono::milliseconds limite, Attesa* attesa)
    : ui_(ui), drives_(std::move(drives)), worker_(std::move(worker)), limite_(limite), attesa_(attesa) {}

bool RegistratoreIsolato::RegistraDll(const std::string& percorso, std::int32_t flag) {
  const char* entryPoint = flag == 0 ? "DllRegisterServer" : "DllUnregisterServer";
  auto erroreCaricamento = [&] {
    ui_.MsgBox("Errore caricando la DLL", kStileCritico, "Register Server");
    return false;
  };
  auto entryPointMancante = [&] {
    ui_.MsgBox("Registrazione fallita EntryPoint mancante '" + percorso + "'.", kStileCritico,
               "Registrazione Fallita!");
    return false;
  };

  // A missing drive, folder or file is the loader failing.
  const auto libreria = drives_.Resolve(percorso);
  std::error_code ec;
  if (!libreria || !std::filesystem::is_regular_file(*libreria, ec)) return erroreCaricamento();

  SessioneWorker sessione;
  if (!sessione.Avvia(worker_, entryPoint, *libreria, drives_.Prefix())) return entryPointMancante();
  AttesaBloccante bloccante;
  switch (sessione.Attendi(limite_, attesa_ ? *attesa_ : bloccante)) {
    case SessioneWorker::Risposta::Conclusa: return true;
    case SessioneWorker::Risposta::CaricamentoFallito: return erroreCaricamento();
    case SessioneWorker::Risposta::EntryPointMancante:
    case SessioneWorker::Risposta::NonAvviato: return entryPointMancante();
    case SessioneWorker::Risposta::Errore:
      // The component crashed the worker: told like the time-out, naming the
      // failure for what it is.
      ui_.MsgBox("Registrazione fallita per errore di '" + percorso + "'.", kStileCritico, "Registrazione fallita!");
      return false;
    case SessioneWorker::Risposta::TimeOut: break;
  }
  // The user learns of the time-out first; the worker is ended once the box
  // is dismissed, even if it has finished meanwhile.
  ui_.MsgBox("Registrazione fallita per time-out da '" + percorso + "'.", kStileCritico, "Registrazione fallita!");
  sessione.Termina();
  return false;
}

}  // namespace cw
