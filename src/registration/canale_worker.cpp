#include "registration/canale_worker.h"

#include <string_view>

#include "registration/esame_libreria.h"
#include "registration/protocollo_worker.h"
#include "registration/risposta_worker.h"

namespace cw {

CanaleWorker::CanaleWorker(std::unique_ptr<AvvioWorker> avvio) : avvio_(std::move(avvio)) {}

CanaleWorker::~CanaleWorker() = default;

void CanaleWorker::Chiudi(Sessione& sessione) {
  if (sessione.worker) sessione.worker->Termina();
  sessione.worker.reset();
}

EsitoRegistrazione CanaleWorker::Chiedi(const std::string& entryPoint, const std::string& percorso,
                                        std::chrono::milliseconds limite, Attesa* fornita) {
  using R = RispostaRegistrazione;
  Attesa& attesa = fornita ? *fornita : avvio_->AttesaBloccata();
  using M = MotivoCaricamento;
  using S = LibreriaTrovata::Stato;
  // A missing drive, folder or file is the loader failing, without starting
  // anything. Nor is anything but a file handed to a loader.
  const LibreriaTrovata libreria = avvio_->Trova(percorso, worker::kTestaEsaminata);
  switch (libreria.stato) {
    case S::Mancante: return EsitoRegistrazione(M::Mancante);
    case S::Cartella: return EsitoRegistrazione(M::Cartella);
    case S::NonFile: return EsitoRegistrazione(M::NonLibreria);
    case S::Inaccessibile: return EsitoRegistrazione(M::Rifiutata);
    case S::File: break;
  }
  const bool mz = libreria.testa.starts_with("MZ");
  const char* motivo = nullptr;
  if (mz) {
    // What the Windows worker's loader would not take (a library of the
    // other bitness, a file cut short) needs no worker, nor Wine, to be told.
    motivo =
        worker::MotivoDallIntestazione(reinterpret_cast<const unsigned char*>(libreria.testa.data()),
                                       libreria.testa.size(), libreria.dimensione, false, avvio_->BitWorkerWindows());
    const std::string_view m = motivo ? motivo : "";
    if (m == worker::kMotivo64Bit || m == worker::kMotivo32Bit || m == worker::kMotivoTroncata)
      return EsitoRegistrazione(MotivoDaParola(motivo));
  }
  ultimo_ = mz || !avvio_->HaWorkerLinux() ? TipoWorker::Windows : TipoWorker::Linux;
  Sessione& sessione = SessioneDi(ultimo_);
  // One left by a time-out that was not ended: it will answer nothing more.
  if (sessione.una) Chiudi(sessione);
  if (!sessione.worker) {
    WorkerAvviato avviato = avvio_->Avvia(ultimo_);
    // Without wine a Windows library cannot be loaded at all.
    if (avviato.senzaWine) return EsitoRegistrazione(motivo ? MotivoDaParola(motivo) : M::SenzaWine);
    if (!avviato.trasporto) return R::NonAvviato;
    sessione.worker = std::move(avviato.trasporto);
    const Pronto pronto = AttendiPronto(*sessione.worker, avviato.limiteAvvio, attesa);
    if (pronto == Pronto::No) {
      Chiudi(sessione);
      return R::NonAvviato;
    }
    sessione.una = pronto == Pronto::Una;
  }
  // The Windows worker is given the Windows path: Wine maps the prefix's
  // drives as the tool does, so the path in the registry is the user's.
  const std::string& nome = ultimo_ == TipoWorker::Windows ? percorso : libreria.percorsoHost;
  if (!sessione.worker->Scrivi(RigaRichiesta(entryPoint, {nome}))) {
    Chiudi(sessione);
    return R::NonAvviato;
  }
  const EsitoRegistrazione esito = LeggiRispostaWorker(*sessione.worker, limite, attesa);
  if (esito.risposta == R::Errore || esito.risposta == R::NonAvviato) {
    Chiudi(sessione);  // a worker that has crashed is not asked again
  } else if (sessione.una && esito.risposta != R::TimeOut) {
    // Its end is part of the call: nothing of it is left running, or to reap.
    std::string riga;
    const auto scadenza = std::chrono::steady_clock::now() + limite;
    while (sessione.worker->Leggi(riga, scadenza, attesa) == LetturaRiga::Riga) {
    }
    Chiudi(sessione);
  }
  return esito;
}

void CanaleWorker::Termina() { Chiudi(SessioneDi(ultimo_)); }

}  // namespace cw
