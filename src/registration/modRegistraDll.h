#pragma once
// modRegistraDll: registering and removing one in-process server. The
// library is never loaded into the tool: a worker process of ours loads it,
// finds the entry point and calls it, and the tool waits for the worker with
// a limit, so a component that hangs or crashes takes only the worker down.
// A Windows library (its file starts with "MZ") goes to the Windows worker
// under wine, which serves the whole walk; any other to the Linux worker,
// one process per call.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/attesa.h"
#include "platform/drive_table.h"
#include "platform/ui.h"
#include "registration/registratore.h"
#include "registration/sessione_worker.h"

namespace cw {

// How long a registration entry point may run.
inline constexpr std::chrono::milliseconds kLimiteRegistrazione{10000};

// How long the Windows worker may take to start: Wine's first start in a
// new prefix alone takes several seconds.
inline constexpr std::chrono::milliseconds kLimiteAvvioWine{60000};

// The workers beside the running executable (the Windows one in its
// "windows" folder).
std::filesystem::path PercorsoWorkerPredefinito();
std::filesystem::path PercorsoWorkerWindowsPredefinito();

class SessioneWorkerWindows;

class RegistratoreIsolato : public RegistratoreDll {
 public:
  // attesa: how the worker is waited for; null: blocked in poll.
  RegistratoreIsolato(Ui& ui, DriveTable drives, std::filesystem::path worker = PercorsoWorkerPredefinito(),
                      std::chrono::milliseconds limite = kLimiteRegistrazione, Attesa* attesa = nullptr,
                      std::filesystem::path workerWindows = PercorsoWorkerWindowsPredefinito());
  ~RegistratoreIsolato() override;

  // Registers (flag 0: "DllRegisterServer") or removes (any other flag:
  // "DllUnregisterServer") the library at the Windows path. Every failure is
  // one critical box; a result code the entry point returns is no failure.
  bool RegistraDll(const std::string& percorso, std::int32_t flag) override;

 private:
  using Risposta = SessioneWorker::Risposta;
  Risposta ChiediAWindows(const std::string& entryPoint, const std::string& percorso, Attesa& attesa);

  Ui& ui_;
  DriveTable drives_;
  std::filesystem::path worker_;
  std::chrono::milliseconds limite_;
  Attesa* attesa_;
  std::filesystem::path workerWindows_;
  std::unique_ptr<SessioneWorkerWindows> windows_;  // started at the first Windows library
};

}  // namespace cw
