#pragma once
// The registration's words in the workers' one protocol
// (base/protocollo_agente.h, its framing); the platform only carries the
// lines (platform/trasporto_worker.h).
//
// Registration: the verb is the entry point's name ("DllRegisterServer" or
// "DllUnregisterServer"), the one argument the library's path, as the
// worker's loader takes it (the Windows path for the Windows worker, the host
// path for the Linux one). The steps, in this order: kCaricata or
// kCaricamentoFallito, kEntryPointTrovato or kEntryPointMancante, kConclusa;
// kCaricamentoFallito, kEntryPointMancante, kConclusa and kEccezione end an
// answer. After kEccezione the worker ends.

#include "base/protocollo_agente.h"

namespace cw::worker {

inline constexpr const char* kCaricata = "caricata";                       // the library is loaded
inline constexpr const char* kCaricamentoFallito = "caricamento-fallito";  // + why (below) and the loader's message
inline constexpr const char* kEntryPointTrovato = "entrypoint-trovato";    // about to call it
inline constexpr const char* kEntryPointMancante = "entrypoint-mancante";
inline constexpr const char* kConclusa = "conclusa";  // + the entry point's result, signed decimal
// + what crashed it: the exception code in hex on Windows, the signal's
// number on Linux. The entry point (or the loading) crashed the worker.
inline constexpr const char* kEccezione = "eccezione";

// Why a library was not loaded: the first word after kCaricamentoFallito.
inline constexpr const char* kMotivoMancante = "mancante";         // there is no such file
inline constexpr const char* kMotivoCartella = "cartella";         // a folder, not a file
inline constexpr const char* kMotivoTroncata = "troncata";         // shorter than its own headers say
inline constexpr const char* kMotivoNonLibreria = "non-libreria";  // not a library this worker loads
inline constexpr const char* kMotivo64Bit = "64-bit";              // a 64-bit Windows library, the worker 32-bit
inline constexpr const char* kMotivo32Bit = "32-bit";              // a 32-bit Windows library, the worker 64-bit
inline constexpr const char* kMotivoRifiutata = "rifiutata";       // none of those: the loader's message says why

// Exit status of a worker that cannot keep its channels, or is started with
// arguments (it takes none).
inline constexpr int kUscitaUso = 64;

}  // namespace cw::worker
