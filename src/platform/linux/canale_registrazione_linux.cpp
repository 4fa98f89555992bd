#include "platform/linux/canale_registrazione_linux.h"

#include <cstdlib>
#include <string_view>

#include "platform/esame_libreria.h"
#include "platform/linux/attesa_linux.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/sessione_worker_linux.h"
#include "platform/linux/sessione_worker_wine_linux.h"
#include "platform/linux/spawn_linux.h"
#include "platform/protocollo_worker.h"
#include "platform/risposta_worker.h"

namespace cw {

std::filesystem::path PercorsoWorkerPredefinito() { return CartellaAusiliari() / worker::kNomeProgramma; }
std::filesystem::path PercorsoWorkerWindowsPredefinito() {
  return CartellaAusiliari() / "windows" / worker::kNomeProgrammaWindows;
}

CanaleRegistrazioneLinux::CanaleRegistrazioneLinux(DriveTable drives, std::filesystem::path worker,
                                                   std::filesystem::path workerWindows)
    : drives_(std::move(drives)), worker_(std::move(worker)), workerWindows_(std::move(workerWindows)) {}

CanaleRegistrazioneLinux::~CanaleRegistrazioneLinux() = default;

EsitoRegistrazione CanaleRegistrazioneLinux::ChiediAWindows(const std::string& entryPoint, const std::string& percorso,
                                                            const std::filesystem::path& libreria,
                                                            std::chrono::milliseconds limite, Attesa& attesa) {
  using R = RispostaRegistrazione;
  // What no 32-bit loader takes (a 64-bit library, a file cut short) needs
  // no Wine to be told.
  const char* motivo = worker::MotivoDelFile(libreria.c_str(), false);
  const bool certo = motivo && (std::string_view(motivo) == worker::kMotivo64Bit ||
                                std::string_view(motivo) == worker::kMotivoTroncata);
  if (certo) return EsitoRegistrazione(MotivoDaParola(motivo));
  if (!windows_) windows_ = std::make_unique<SessioneWorkerWindows>();
  if (!windows_->Attivo()) {
    // Without wine a Windows library cannot be loaded at all.
    const char* path = std::getenv("PATH");
    const auto wine = CercaNelPercorso(path ? path : "", "wine");
    if (!wine) return EsitoRegistrazione(motivo ? MotivoDaParola(motivo) : MotivoCaricamento::SenzaWine);
    if (!windows_->Avvia(*wine, workerWindows_, drives_.Prefix(), kLimiteAvvioWine, attesa)) return R::NonAvviato;
  }
  // Wine maps the prefix's drives as the tool does: the Windows path is
  // the library's name there too.
  return windows_->Chiedi(entryPoint, percorso, limite, attesa);
}

EsitoRegistrazione CanaleRegistrazioneLinux::Chiedi(const std::string& entryPoint, const std::string& percorso,
                                                    std::chrono::milliseconds limite, Attesa* fornita) {
  using R = RispostaRegistrazione;
  using M = MotivoCaricamento;
  AttesaLinux bloccante;
  Attesa& attesa = fornita ? *fornita : bloccante;
  // A missing drive, folder or file is the loader failing. Nor is anything
  // but a file handed to a loader (a pipe would hold it for good).
  const auto libreria = drives_.Resolve(percorso);
  std::error_code ec;
  if (!libreria || !std::filesystem::exists(*libreria, ec)) return EsitoRegistrazione(M::Mancante);
  if (std::filesystem::is_directory(*libreria, ec)) return EsitoRegistrazione(M::Cartella);
  if (!std::filesystem::is_regular_file(*libreria, ec)) return EsitoRegistrazione(M::NonLibreria);

  ultimaWindows_ = ComeProgrammaWindows(*libreria);
  if (ultimaWindows_) return ChiediAWindows(entryPoint, percorso, *libreria, limite, attesa);
  linux_ = std::make_unique<SessioneWorker>();
  if (!linux_->Avvia(worker_, entryPoint, *libreria, drives_.Prefix())) return R::NonAvviato;
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
