#pragma once
// The worker that calls a component's registration entry point on the
// tool's behalf, in a process of its own, so that a component that hangs or
// crashes takes only the worker down. The tool turns each answer into its
// box; the platform decides which worker runs and how.

#include <chrono>
#include <string>

#include "platform/attesa.h"

namespace cw {

enum class RispostaRegistrazione {
  Conclusa,            // the entry point returned (whatever its result)
  CaricamentoFallito,  // the library is missing or could not be loaded
  EntryPointMancante,  // the library does not export the entry point
  NonAvviato,          // the worker could not be started or said nothing
  TimeOut,             // the limit passed, or the wait itself failed
  Errore,              // the component crashed the worker, or ended it instead of returning
};

class CanaleRegistrazione {
 public:
  virtual ~CanaleRegistrazione() = default;
  // Calls entryPoint ("DllRegisterServer" or "DllUnregisterServer") of the
  // library at the Windows path. The limit runs from the request and starts
  // again when the entry point is called, so the entry point always gets
  // all of it. On TimeOut the worker still runs, until Termina.
  virtual RispostaRegistrazione Chiedi(const std::string& entryPoint, const std::string& percorso,
                                       std::chrono::milliseconds limite, Attesa& attesa) = 0;
  // Ends the worker a TimeOut left running (its whole process tree); the
  // next call gets a fresh one.
  virtual void Termina() = 0;
};

}  // namespace cw
