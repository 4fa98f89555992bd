#pragma once
// modRegistraDll: registering and removing one in-process server. The
// library is never loaded into the tool: a worker process of ours loads it,
// finds the entry point and calls it, and the tool waits for the worker with
// a limit, so a component that hangs or crashes takes only the worker down.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/attesa.h"
#include "platform/drive_table.h"
#include "platform/ui.h"
#include "registration/registratore.h"

namespace cw {

// How long a registration entry point may run.
inline constexpr std::chrono::milliseconds kLimiteRegistrazione{10000};

// The worker beside the running executable.
std::filesystem::path PercorsoWorkerPredefinito();

class RegistratoreIsolato : public RegistratoreDll {
 public:
  // attesa: how the worker is waited for; null: blocked in poll.
  RegistratoreIsolato(Ui& ui, DriveTable drives, std::filesystem::path worker = PercorsoWorkerPredefinito(),
                      std::chrono::milliseconds limite = kLimiteRegistrazione, Attesa* attesa = nullptr);

  // Registers (flag 0: "DllRegisterServer") or removes (any other flag:
  // "DllUnregisterServer") the library at the Windows path. Every failure is
  // one critical box; a result code the entry point returns is no failure.
  bool RegistraDll(const std::string& percorso, std::int32_t flag) override;

 private:
  Ui& ui_;
  DriveTable drives_;
  std::filesystem::path worker_;
  std::chrono::milliseconds limite_;
  Attesa* attesa_;
};

}  // namespace cw
