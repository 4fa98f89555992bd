#pragma once
// The registration worker on Linux. A Windows library (its file starts with
// "MZ") goes to the Windows worker under wine, which serves the whole walk;
// any other to the Linux worker, one process per call. Either runs in a
// process group of its own, with WINEPREFIX set to the prefix so the
// component records its registration there.

#include <chrono>
#include <filesystem>
#include <memory>

#include "platform/canale_registrazione.h"
#include "platform/linux/drive_table_linux.h"

namespace cw {

// How long the Windows worker may take to start: Wine's first start in a
// new prefix alone takes several seconds.
inline constexpr std::chrono::milliseconds kLimiteAvvioWine{60000};

// The workers beside the running executable (the Windows one in its
// "windows" folder).
std::filesystem::path PercorsoWorkerPredefinito();
std::filesystem::path PercorsoWorkerWindowsPredefinito();

class SessioneWorker;
class SessioneWorkerWindows;

class CanaleRegistrazioneLinux : public CanaleRegistrazione {
 public:
  explicit CanaleRegistrazioneLinux(DriveTable drives, std::filesystem::path worker = PercorsoWorkerPredefinito(),
                                    std::filesystem::path workerWindows = PercorsoWorkerWindowsPredefinito());
  ~CanaleRegistrazioneLinux() override;

  EsitoRegistrazione Chiedi(const std::string& entryPoint, const std::string& percorso,
                            std::chrono::milliseconds limite, Attesa* attesa) override;
  void Termina() override;

 private:
  EsitoRegistrazione ChiediAWindows(const std::string& entryPoint, const std::string& percorso,
                                    const std::filesystem::path& libreria, std::chrono::milliseconds limite,
                                    Attesa& attesa);

  DriveTable drives_;
  std::filesystem::path worker_;
  std::filesystem::path workerWindows_;
  std::unique_ptr<SessioneWorker> linux_;           // the last call's, kept until the next
  std::unique_ptr<SessioneWorkerWindows> windows_;  // started at the first Windows library
  bool ultimaWindows_ = false;
};

}  // namespace cw
