#pragma once
// The agent's two channels to the tool, kept to itself: a component loaded
// for its registration, or a program started, that read the standard input
// or printed on the standard output must neither take requests nor break
// into the answers.

#include <string>

namespace cw::agente {

// Takes the channels from the standard handles and leaves the null device
// and the error channel in their place; false when they cannot be taken.
bool TieniCanali();

// One answer line: the word and, after a blank, its detail (line ends in it
// become blanks). Nothing when the tool has gone.
void Riferisci(const char* parola, const std::string& dettaglio = {});

// One request line, without its end; false at the end of the input.
bool LeggiRiga(std::string& riga);

}  // namespace cw::agente
