#include "platform/risposta_worker.h"

#include <string_view>

#include "platform/protocollo_worker.h"

namespace cw {

namespace {

bool IniziaCon(std::string_view riga, std::string_view parola) {
  return riga.substr(0, parola.size()) == parola && (riga.size() == parola.size() || riga[parola.size()] == ' ');
}

}  // namespace

RispostaRegistrazione LeggiRispostaWorker(std::chrono::milliseconds limite, const LeggiRigaWorker& leggi) {
  using R = RispostaRegistrazione;
  bool trovato = false;
  auto scadenza = std::chrono::steady_clock::now() + limite;
  for (;;) {
    std::string riga;
    const LetturaWorker l = leggi(riga, scadenza);
    if (l == LetturaWorker::Scaduto) return R::TimeOut;
    // It ended in the middle of the call: the component ended it.
    if (l == LetturaWorker::Fine) return trovato ? R::Errore : R::NonAvviato;
    if (IniziaCon(riga, worker::kEntryPointTrovato)) {
      trovato = true;
      scadenza = std::chrono::steady_clock::now() + limite;
    } else if (IniziaCon(riga, worker::kConclusa)) {
      return R::Conclusa;
    } else if (IniziaCon(riga, worker::kCaricamentoFallito)) {
      return R::CaricamentoFallito;
    } else if (IniziaCon(riga, worker::kEntryPointMancante)) {
      return R::EntryPointMancante;
    } else if (IniziaCon(riga, worker::kEccezione)) {
      return R::Errore;
    }
  }
}

}  // namespace cw
