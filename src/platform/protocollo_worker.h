#pragma once
// What the registration workers tell the tool: one line per step, in this
// order, each a word optionally followed by a blank and a detail.
//
// The Linux worker serves one call and reports on a pipe of its own:
//   compilawexo-regworker <report fd> <entry point name> <host path of the library>
//
// The Windows worker (run through wine) serves a whole walk: it writes
// kPronto once started, then reads one request per line on its standard
// input, "<entry point name>\t<Windows path of the library>", and answers
// each on its standard output; kCaricamentoFallito, kEntryPointMancante,
// kConclusa and kEccezione end an answer. After kEccezione it ends. Lines end
// with LF alone; texts are UTF-8.

namespace cw::worker {

inline constexpr const char* kNomeProgramma = "compilawexo-regworker";
inline constexpr const char* kNomeProgrammaWindows = "compilawexo-regworker.exe";

inline constexpr const char* kPronto = "pronto";                           // Windows worker: ready for requests
inline constexpr const char* kCaricata = "caricata";                       // the library is loaded
inline constexpr const char* kCaricamentoFallito = "caricamento-fallito";  // + why (below) and the loader's message
inline constexpr const char* kEntryPointTrovato = "entrypoint-trovato";    // about to call it
inline constexpr const char* kEntryPointMancante = "entrypoint-mancante";
inline constexpr const char* kConclusa = "conclusa";    // + the entry point's result, signed decimal
inline constexpr const char* kEccezione = "eccezione";  // + the exception code in hex: the entry point crashed

// Why a library was not loaded: the first word after kCaricamentoFallito.
inline constexpr const char* kMotivoMancante = "mancante";         // there is no such file
inline constexpr const char* kMotivoCartella = "cartella";         // a folder, not a file
inline constexpr const char* kMotivoTroncata = "troncata";         // shorter than its own headers say
inline constexpr const char* kMotivoNonLibreria = "non-libreria";  // not a library this worker loads
inline constexpr const char* kMotivo64Bit = "64-bit";              // a 64-bit Windows library
inline constexpr const char* kMotivoRifiutata = "rifiutata";       // none of those: the loader's message says why

// Exit status of a worker started with the wrong arguments.
inline constexpr int kUscitaUso = 64;

}  // namespace cw::worker
