#pragma once
// The registration channel over the platform's workers, the same on every
// platform. A Windows library (its file starts with "MZ") goes to the Windows
// worker, which serves the whole walk, so its start (Wine's, on Linux) is
// paid once; any other to the Linux worker where there is one, a process per
// call. A worker that crashes, or passes its limit and is ended, is replaced
// by a fresh one at the next call.

#include <chrono>
#include <memory>
#include <string>

#include "platform/attesa.h"
#include "platform/trasporto_worker.h"
#include "registration/canale_registrazione.h"

namespace cw {

class CanaleWorker : public CanaleRegistrazione {
 public:
  explicit CanaleWorker(std::unique_ptr<AvvioWorker> avvio);
  ~CanaleWorker() override;

  EsitoRegistrazione Chiedi(const std::string& entryPoint, const std::string& percorso,
                            std::chrono::milliseconds limite, Attesa* attesa) override;
  void Termina() override;

 private:
  struct Sessione {
    std::unique_ptr<TrasportoWorker> worker;
    bool una = false;  // it serves one request, then ends
  };
  Sessione& SessioneDi(TipoWorker tipo) { return tipo == TipoWorker::Windows ? windows_ : linux_; }
  static void Chiudi(Sessione& sessione);

  std::unique_ptr<AvvioWorker> avvio_;
  Sessione windows_;
  Sessione linux_;
  TipoWorker ultimo_ = TipoWorker::Windows;  // the last call's, which Termina ends
};

}  // namespace cw
