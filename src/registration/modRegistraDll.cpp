#include "registration/modRegistraDll.h"

#include <cstdlib>

#include "platform/linux_process.h"
#include "platform/linux_spawn.h"
#include "platform/protocollo_worker.h"
#include "registration/sessione_worker.h"
#include "registration/sessione_worker_windows.h"

namespace cw {

std::filesystem::path PercorsoWorkerPredefinito() { return CartellaEseguibile() / worker::kNomeProgramma; }
std::filesystem::path PercorsoWorkerWindowsPredefinito() {
  return CartellaEseguibile() / "windows" / worker::kNomeProgrammaWindows;
}

RegistratoreIsolato::RegistratoreIsolato(Ui& ui, DriveTable drives, std::filesystem::path worker,
                                         std::chrono::milliseconds limite, Attesa* attesa,
                                         std::filesystem::path workerWindows)
    : ui_(ui),
      drives_(std::move(drives)),
      worker_(std::move(worker)),
      limite_(limite),
      attesa_(attesa),
      workerWindows_(std::move(workerWindows)) {}

RegistratoreIsolato::~RegistratoreIsolato() = default;

RegistratoreIsolato::Risposta RegistratoreIsolato::ChiediAWindows(const std::string& entryPoint,
                                                                  const std::string& percorso, Attesa& attesa) {
  if (!windows_) windows_ = std::make_unique<SessioneWorkerWindows>();
  if (!windows_->Attivo()) {
    // Without wine a Windows library cannot be loaded at all.
    const char* path = std::getenv("PATH");
    const auto wine = CercaNelPercorso(path ? path : "", "wine");
    if (!wine) return Risposta::CaricamentoFallito;
    if (!windows_->Avvia(*wine, workerWindows_, drives_.Prefix(), kLimiteAvvioWine, attesa))
      return Risposta::NonAvviato;
  }
  // Wine maps the prefix's drives as the tool does: the Windows path is
  // the library's name there too.
  return windows_->Chiedi(entryPoint, percorso, limite_, attesa);
}

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

  AttesaBloccante bloccante;
  Attesa& attesa = attesa_ ? *attesa_ : bloccante;
  SessioneWorker sessione;
  Risposta risposta;
  const bool windows = ComeProgrammaWindows(*libreria);
  if (windows)
    risposta = ChiediAWindows(entryPoint, percorso, attesa);
  else if (!sessione.Avvia(worker_, entryPoint, *libreria, drives_.Prefix()))
    return entryPointMancante();
  else
    risposta = sessione.Attendi(limite_, attesa);
  switch (risposta) {
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
  if (windows)
    windows_->Termina();  // the next Windows library gets a fresh worker
  else
    sessione.Termina();
  return false;
}

}  // namespace cw
