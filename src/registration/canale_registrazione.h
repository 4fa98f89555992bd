#pragma once
// The worker that calls a component's registration entry point on the
// tool's behalf, in a process of its own, so that a component that hangs or
// crashes takes only the worker down. RegistratoreIsolato turns each answer
// into its box; CanaleWorker (canale_worker.h) is the channel over the
// platform's workers, a test gives a fake.

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/attesa.h"

namespace cw {

enum class RispostaRegistrazione {
  Conclusa,            // the entry point returned: its result says how it went
  CaricamentoFallito,  // the library is missing or could not be loaded
  EntryPointMancante,  // the library does not export the entry point
  NonAvviato,          // the worker could not be started or said nothing
  TimeOut,             // the limit passed, or the wait itself failed
  Errore,              // the component crashed the worker, or ended it instead of returning
};

// Why a library could not be loaded.
enum class MotivoCaricamento {
  Rifiutata,    // the loader refused it: its message says why
  Mancante,     // no such file, folder or drive
  Cartella,     // a folder, not a file
  Troncata,     // shorter than its own headers say
  NonLibreria,  // not a library the worker can load
  A64Bit,       // a 64-bit Windows library; the Windows worker is 32-bit
  A32Bit,       // a 32-bit Windows library; the Windows worker is 64-bit
  SenzaWine,    // a Windows library, and no wine to load it with
};

struct EsitoRegistrazione {
  EsitoRegistrazione() = default;
  // Implicit: an answer with nothing more to say.
  EsitoRegistrazione(RispostaRegistrazione r) : risposta(r) {}
  // A load failure, and why.
  explicit EsitoRegistrazione(MotivoCaricamento m, std::string loader = {})
      : risposta(RispostaRegistrazione::CaricamentoFallito), motivo(m), messaggio(std::move(loader)) {}

  RispostaRegistrazione risposta = RispostaRegistrazione::NonAvviato;
  std::int32_t risultato = 0;                               // Conclusa: what the entry point returned (an HRESULT)
  MotivoCaricamento motivo = MotivoCaricamento::Rifiutata;  // CaricamentoFallito
  std::string messaggio;                                    // CaricamentoFallito: the loader's own words
};

class CanaleRegistrazione {
 public:
  virtual ~CanaleRegistrazione() = default;
  // Calls entryPoint ("DllRegisterServer" or "DllUnregisterServer") of the
  // library at the Windows path. The limit runs from the request and starts
  // again when the entry point is called, so the entry point always gets
  // all of it. On TimeOut the worker still runs, until Termina. attesa: how
  // the worker is waited for; null: blocked.
  virtual EsitoRegistrazione Chiedi(const std::string& entryPoint, const std::string& percorso,
                                    std::chrono::milliseconds limite, Attesa* attesa) = 0;
  // Ends the worker a TimeOut left running (its whole process tree); the
  // next call gets a fresh one.
  virtual void Termina() = 0;
};

}  // namespace cw
