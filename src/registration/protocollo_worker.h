#pragma once
// What the registration worker tells the tool over its report pipe: one line
// per step, in this order, each a word optionally followed by a blank and a
// detail. The worker is started as
//   compilawexo-regworker <report fd> <entry point name> <host path of the library>

namespace cw::worker {

inline constexpr const char* kNomeProgramma = "compilawexo-regworker";

inline constexpr const char* kCaricata = "caricata";                       // the library is loaded
inline constexpr const char* kCaricamentoFallito = "caricamento-fallito";  // + the loader's message
inline constexpr const char* kEntryPointTrovato = "entrypoint-trovato";    // about to call it
inline constexpr const char* kEntryPointMancante = "entrypoint-mancante";
inline constexpr const char* kConclusa = "conclusa";  // + the entry point's result

// Exit status of a worker started with the wrong arguments.
inline constexpr int kUscitaUso = 64;

}  // namespace cw::worker
