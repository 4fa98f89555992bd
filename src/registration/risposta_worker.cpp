#include "registration/risposta_worker.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "registration/protocollo_worker.h"

namespace cw {

std::string RigaRichiesta(std::string_view verbo, std::initializer_list<std::string_view> argomenti) {
  std::string riga(verbo);
  for (const std::string_view a : argomenti) {
    riga += worker::kSeparatore;
    riga += a;
  }
  return riga;
}

bool ParolaDellaRiga(std::string_view riga, std::string_view parola, std::string_view& dettaglio) {
  if (riga.substr(0, parola.size()) != parola || (riga.size() > parola.size() && riga[parola.size()] != ' '))
    return false;
  dettaglio = riga.size() > parola.size() ? riga.substr(parola.size() + 1) : std::string_view{};
  return true;
}

Pronto AttendiPronto(TrasportoWorker& worker, std::chrono::milliseconds limite, Attesa& attesa) {
  std::string riga;
  std::string_view dettaglio;
  if (worker.Leggi(riga, std::chrono::steady_clock::now() + limite, attesa) != LetturaRiga::Riga ||
      !ParolaDellaRiga(riga, worker::kPronto, dettaglio))
    return Pronto::No;
  return dettaglio == worker::kProntoUna ? Pronto::Una : Pronto::Sempre;
}

MotivoCaricamento MotivoDaParola(std::string_view parola) {
  using M = MotivoCaricamento;
  if (parola == worker::kMotivoMancante) return M::Mancante;
  if (parola == worker::kMotivoCartella) return M::Cartella;
  if (parola == worker::kMotivoTroncata) return M::Troncata;
  if (parola == worker::kMotivoNonLibreria) return M::NonLibreria;
  if (parola == worker::kMotivo64Bit) return M::A64Bit;
  if (parola == worker::kMotivo32Bit) return M::A32Bit;
  return M::Rifiutata;
}

bool RigaFinaleWorker(std::string_view riga, EsitoRegistrazione& esito) {
  using R = RispostaRegistrazione;
  std::string_view dettaglio;
  esito = {};
  if (ParolaDellaRiga(riga, worker::kConclusa, dettaglio)) {
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
  } else if (ParolaDellaRiga(riga, worker::kCaricamentoFallito, dettaglio)) {
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
  } else if (ParolaDellaRiga(riga, worker::kEntryPointMancante, dettaglio)) {
    esito.risposta = R::EntryPointMancante;
  } else if (ParolaDellaRiga(riga, worker::kEccezione, dettaglio)) {
    esito.risposta = R::Errore;
  } else {
    return false;
  }
  return true;
}

EsitoRegistrazione LeggiRispostaWorker(TrasportoWorker& worker, std::chrono::milliseconds limite, Attesa& attesa) {
  using R = RispostaRegistrazione;
  bool trovato = false;
  auto scadenza = std::chrono::steady_clock::now() + limite;
  for (;;) {
    std::string riga;
    const LetturaRiga l = worker.Leggi(riga, scadenza, attesa);
    if (l == LetturaRiga::Scaduto) return R::TimeOut;
    // It ended in the middle of the call: the component ended it.
    if (l == LetturaRiga::Fine) return trovato ? R::Errore : R::NonAvviato;
    std::string_view dettaglio;
    if (ParolaDellaRiga(riga, worker::kEntryPointTrovato, dettaglio)) {
      trovato = true;
      scadenza = std::chrono::steady_clock::now() + limite;
      continue;
    }
    EsitoRegistrazione esito;
    if (RigaFinaleWorker(riga, esito)) return esito;
  }
}

}  // namespace cw
