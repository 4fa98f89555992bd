#include "platform/linux/canale_registrazione_linux.h"

#include <cstdlib>

#include "platform/cartella_eseguibile.h"
#include "platform/linux/linux_spawn.h"
#include "platform/linux/sessione_worker.h"
#include "platform/linux/sessione_worker_windows.h"
#include "platform/protocollo_worker.h"

namespace cw {

std::filesystem::path PercorsoWorkerPredefinito() { return CartellaAusiliari() / worker::kNomeProgramma; }
std::filesystem::path PercorsoWorkerWindowsPredefinito() {
  return CartellaAusiliari() / "windows" / worker::kNomeProgrammaWindows;
}

CanaleRegistrazioneLinux::CanaleRegistrazioneLinux(DriveTable drives, std::filesystem::path worker,
                                                   std::filesystem::path workerWindows)
    : drives_(std::move(drives)), worker_(std::move(worker)), workerWindows_(std::move(workerWindows)) {}

CanaleRegistrazioneLinux::~CanaleRegistrazioneLinux() = default;

RispostaRegistrazione CanaleRegistrazioneLinux::ChiediAWindows(const std::string& entryPoint,
                                                               const std::string& percorso,
                                                               std::chrono::milliseconds limite, Attesa& attesa) {
  if (!windows_) windows_ = std::make_unique<SessioneWorkerWindows>();
  if (!windows_->Attivo()) {
    // Without wine a Windows library cannot be loaded at all.
    const char* path = std::getenv("PATH");
    const auto wine = CercaNelPercorso(path ? path : "", "wine");
    if (!wine) return RispostaRegistrazione::CaricamentoFallito;
    if (!windows_->Avvia(*wine, workerWindows_, drives_.Prefix(), kLimiteAvvioWine, attesa))
      return RispostaRegistrazione::NonAvviato;
  }
  // Wine maps the prefix's drives as the tool does: the Windows path is
  // the library's name there too.
  return windows_->Chiedi(entryPoint, percorso, limite, attesa);
}

RispostaRegistrazione CanaleRegistrazioneLinux::Chiedi(const std::string& entryPoint, const std::string& percorso,
                                                       std::chrono::milliseconds limite, Attesa& attesa) {
  // A missing drive, folder or file is the loader failing.
  const auto libreria = drives_.Resolve(percorso);
  std::error_code ec;
  if (!libreria || !std::filesystem::is_regular_file(*libreria, ec)) return RispostaRegistrazione::CaricamentoFallito;

  ultimaWindows_ = ComeProgrammaWindows(*libreria);
  if (ultimaWindows_) return ChiediAWindows(entryPoint, percorso, limite, attesa);
  linux_ = std::make_unique<SessioneWorker>();
  if (!linux_->Avvia(worker_, entryPoint, *libreria, drives_.Prefix())) return RispostaRegistrazione::NonAvviato;
  return linux_->Attendi(limite, attesa);
}

void CanaleRegistrazioneLinux::Termina() {
  if (ultimaWindows_) {
    if (windows_) windows_->Termina();  // the next Windows library gets a fresh worker
  } else if (linux_) {
    linux_->Termina();
  }
}

}  // namespace cw
