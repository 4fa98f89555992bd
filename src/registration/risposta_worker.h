#pragma once
// The one reader of the workers' lines (protocollo_worker.h), whatever
// worker answers and whatever carries the lines: a request is written, its
// answer read line by line over the platform's transport.

#include <chrono>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/attesa.h"
#include "platform/trasporto_worker.h"
#include "registration/canale_registrazione.h"

namespace cw {

// A request: the verb, then each argument after a tab (no LF).
std::string RigaRichiesta(std::string_view verbo, std::initializer_list<std::string_view> argomenti);

// Whether the line is that word, alone or followed by a blank and a detail;
// if so, dettaglio holds what follows the blank.
bool ParolaDellaRiga(std::string_view riga, std::string_view parola, std::string_view& dettaglio);

enum class Pronto {
  No,      // it ended, passed the limit or said something else
  Sempre,  // it serves requests until its input ends
  Una,     // it serves one request, then ends
};

// Waits up to the limit for the worker's first line.
Pronto AttendiPronto(TrasportoWorker& worker, std::chrono::milliseconds limite, Attesa& attesa);

// The reason a "caricamento-fallito" line names; Rifiutata for any other word.
MotivoCaricamento MotivoDaParola(std::string_view parola);

// Whether the line ends an answer ("conclusa", "caricamento-fallito",
// "entrypoint-mancante", "eccezione"); if so, esito holds what it says. A
// "conclusa" without a readable result is an Errore: the worker is broken.
bool RigaFinaleWorker(std::string_view riga, EsitoRegistrazione& esito);

// Reads up to the line that ends the answer to a registration request,
// within the limit, which starts again at "entrypoint-trovato". A worker that
// ends before answering is Errore once the entry point was called,
// NonAvviato before.
EsitoRegistrazione LeggiRispostaWorker(TrasportoWorker& worker, std::chrono::milliseconds limite, Attesa& attesa);

}  // namespace cw
