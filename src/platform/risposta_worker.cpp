#include "platform/risposta_worker.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "platform/protocollo_worker.h"

namespace cw {

namespace {

// Whether the line is that word, alone or with a detail after a blank.
bool Parola(std::string_view riga, std::string_view parola, std::string_view& dettaglio) {
  if (riga.substr(0, parola.size()) != parola || (riga.size() > parola.size() && riga[parola.size()] != ' '))
    return false;
  dettaglio = riga.size() > parola.size() ? riga.substr(parola.size() + 1) : std::string_view{};
  return true;
}

}  // namespace

MotivoCaricamento MotivoDaParola(std::string_view parola) {
  using M = MotivoCaricamento;
  if (parola == worker::kMotivoMancante) return M::Mancante;
  if (parola == worker::kMotivoCartella) return M::Cartella;
  if (parola == worker::kMotivoTroncata) return M::Troncata;
  if (parola == worker::kMotivoNonLibreria) return M::NonLibreria;
  if (parola == worker::kMotivo64Bit) return M::A64Bit;
  return M::Rifiutata;
}

bool RigaFinaleWorker(std::string_view riga, EsitoRegistrazione& esito) {
  using R = RispostaRegistrazione;
  std::string_view dettaglio;
  esito = {};
  if (Parola(riga, worker::kConclusa, dettaglio)) {
    // Signed decimal, as the 32-bit result is; a worker built elsewhere may
    // print it unsigned.
    long long valore = 0;
    const auto [fine, errore] = std::from_chars(dettaglio.data(), dettaglio.data() + dettaglio.size(), valore);
    if (errore != std::errc{} || fine != dettaglio.data() + dettaglio.size() || dettaglio.empty() ||
        valore < std::numeric_limits<std::int32_t>::min() || valore > std::numeric_limits<std::uint32_t>::max()) {
      esito.risposta = R::Errore;
      return true;
    }
    esito.risposta = R::Conclusa;
    esito.risultato = static_cast<std::int32_t>(static_cast<std::uint32_t>(valore));
  } else if (Parola(riga, worker::kCaricamentoFallito, dettaglio)) {
    esito.risposta = R::CaricamentoFallito;
    const size_t blank = dettaglio.find(' ');
    esito.motivo = MotivoDaParola(dettaglio.substr(0, blank));
    // A reason this tool does not know stays part of the message.
    const bool noto =
        esito.motivo != MotivoCaricamento::Rifiutata || dettaglio.substr(0, blank) == worker::kMotivoRifiutata;
    if (!noto)
      esito.messaggio = dettaglio;
    else if (blank != std::string_view::npos)
      esito.messaggio = dettaglio.substr(blank + 1);
  } else if (Parola(riga, worker::kEntryPointMancante, dettaglio)) {
    esito.risposta = R::EntryPointMancante;
  } else if (Parola(riga, worker::kEccezione, dettaglio)) {
    esito.risposta = R::Errore;
  } else {
    return false;
  }
  return true;
}

EsitoRegistrazione LeggiRispostaWorker(std::chrono::milliseconds limite, const LeggiRigaWorker& leggi) {
  using R = RispostaRegistrazione;
  bool trovato = false;
  auto scadenza = std::chrono::steady_clock::now() + limite;
  for (;;) {
    std::string riga;
    const LetturaWorker l = leggi(riga, scadenza);
    if (l == LetturaWorker::Scaduto) return R::TimeOut;
    // It ended in the middle of the call: the component ended it.
    if (l == LetturaWorker::Fine) return trovato ? R::Errore : R::NonAvviato;
    std::string_view dettaglio;
    if (Parola(riga, worker::kEntryPointTrovato, dettaglio)) {
      trovato = true;
      scadenza = std::chrono::steady_clock::now() + limite;
      continue;
    }
    EsitoRegistrazione esito;
    if (RigaFinaleWorker(riga, esito)) return esito;
  }
}

}  // namespace cw
