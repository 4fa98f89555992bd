#pragma once
// One answer of a registration worker (protocollo_worker.h), read line by
// line the same way on both platforms: how the lines are waited for is the
// platform's business.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/canale_registrazione.h"

namespace cw {

enum class LetturaWorker { Riga, Fine, Scaduto };

// The next line of the worker's answers, waited for until the deadline:
// Riga with the line, Fine once the worker has ended, Scaduto when the
// deadline has passed (or the wait was given up).
using LeggiRigaWorker = std::function<LetturaWorker(std::string& riga, std::chrono::steady_clock::time_point scadenza)>;

// The reason a "caricamento-fallito" line names; Rifiutata for any other word.
MotivoCaricamento MotivoDaParola(std::string_view parola);

// Whether the line ends an answer ("conclusa", "caricamento-fallito",
// "entrypoint-mancante", "eccezione"); if so, esito holds what it says. A
// "conclusa" without a readable result is an Errore: the worker is broken.
bool RigaFinaleWorker(std::string_view riga, EsitoRegistrazione& esito);

// Reads up to the line that ends the answer. The limit starts again at
// "entrypoint-trovato"; a worker that ends before answering is Errore once
// the entry point was called, NonAvviato before.
EsitoRegistrazione LeggiRispostaWorker(std::chrono::milliseconds limite, const LeggiRigaWorker& leggi);

}  // namespace cw
