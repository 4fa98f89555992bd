#pragma once
// modRegistraDll: registering and removing one in-process server. The
// library is never loaded into the tool: a worker program (canale_worker.h)
// loads it, finds the entry point and calls it, and the tool waits for the
// worker with a limit, so a component that hangs or crashes takes only the
// worker down. Here each outcome becomes the user's box.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "base/ui.h"
#include "platform/attesa.h"
#include "registration/canale_registrazione.h"
#include "registration/registratore.h"

namespace cw {

// A 32-bit result as "0x" and eight upper-case hex digits: 0x80040201.
std::string EsadecimaleHresult(std::int32_t risultato);

class RegistratoreIsolato : public RegistratoreDll {
 public:
  // attesa: how the worker is waited for; null: blocked.
  RegistratoreIsolato(Ui& ui, std::unique_ptr<CanaleRegistrazione> canale,
                      std::chrono::milliseconds limite = kLimiteRegistrazione, Attesa* attesa = nullptr);

  // Registers (flag 0: "DllRegisterServer") or removes (any other flag:
  // "DllUnregisterServer") the library at the Windows path. Every failure is
  // one critical box; a negative result of the entry point is one, S_OK,
  // S_FALSE and any other success code are not.
  bool RegistraDll(const std::string& percorso, std::int32_t flag) override;

 private:
  Ui& ui_;
  std::unique_ptr<CanaleRegistrazione> canale_;
  std::chrono::milliseconds limite_;
  Attesa* attesa_;
};

}  // namespace cw
