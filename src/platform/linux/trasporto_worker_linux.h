#pragma once
// The workers on Linux: the Linux worker (compilawexo-regworker) for a Linux
// library, the agent (compilawexo-agente.exe, platform/linux/agente_linux.h)
// under Wine for a Windows library. Each runs in a process group of its own,
// its standard input and output pipes to the tool, with WINEPREFIX set to the
// prefix so the component records its registration there.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/attesa.h"
#include "platform/linux/agente_linux.h"
#include "platform/linux/attesa_linux.h"
#include "platform/linux/avviso_wine_linux.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/spawn_linux.h"
#include "platform/trasporto_worker.h"

namespace cw {

// How long the Windows worker may take to say it is ready: Wine's first
// start in a new prefix alone takes several seconds.
inline constexpr std::chrono::milliseconds kLimiteAvvioWine{60000};
// The Linux worker only takes its channels before it says so.
inline constexpr std::chrono::milliseconds kLimiteAvvioWorkerLinux{10000};

// The Linux worker beside the running executable's helpers.
std::filesystem::path PercorsoWorkerPredefinito();

class TrasportoWorkerLinux : public TrasportoWorker {
 public:
  // Starts the program in a process group of its own, registered to be
  // ended with the tool; null when it cannot be started. sottoWine: a
  // Windows program, whose standard error is a file in memory (Wine's
  // services would keep the tool's, or a pipe's, open for good), read back
  // when it fails, and whose first line's wait is Wine's start in the
  // prefix, which the front end is told of (avviso_wine_linux.h).
  static std::unique_ptr<TrasportoWorkerLinux> Avvia(AvvioProgramma avvio, bool sottoWine = false,
                                                     const std::filesystem::path& prefisso = {});

  ~TrasportoWorkerLinux() override;
  TrasportoWorkerLinux(const TrasportoWorkerLinux&) = delete;
  TrasportoWorkerLinux& operator=(const TrasportoWorkerLinux&) = delete;

  // A program that has ended must not end the tool with SIGPIPE.
  bool Scrivi(std::string_view riga) override;
  LetturaRiga Leggi(std::string& riga, std::chrono::steady_clock::time_point scadenza, Attesa& attesa) override;
  // SIGKILL to the program's group, then reaps it.
  void Termina() override;

  pid_t Pid() const { return pid_; }
  // The last lines (at most righe) Wine and the program wrote to their
  // standard error, joined by line ends; "" for none.
  std::string UltimeRigheErrore(std::size_t righe = 8) const;

 private:
  TrasportoWorkerLinux() = default;
  LetturaRiga LeggiRiga(std::string& riga, std::chrono::steady_clock::time_point scadenza, Attesa& attesa);
  void ChiudiDescrittori();

  pid_t pid_ = -1;
  int pidfd_ = -1;
  int entrata_ = -1;  // the program's standard input
  int uscita_ = -1;   // its standard output
  int errori_ = -1;   // under Wine, its standard error
  std::string buffer_;
  std::unique_ptr<AttesaAvvioWine> avvioWine_;  // until the first line under Wine
};

class AvvioWorkerLinux : public AvvioWorker {
 public:
  // With an agent of its own.
  explicit AvvioWorkerLinux(DriveTable drives, std::filesystem::path worker = PercorsoWorkerPredefinito(),
                            std::filesystem::path agente = PercorsoAgentePredefinito());
  // With the agent the processes share.
  AvvioWorkerLinux(DriveTable drives, std::filesystem::path worker, std::shared_ptr<AgenteLinux> agente);

  // Through the drive table; only a regular file's first bytes are read.
  LibreriaTrovata Trova(const std::string& percorso, std::size_t massimo) override;
  bool HaWorkerLinux() const override { return true; }
  // The Windows one is the agent: senzaWine when there is no wine.
  WorkerAvviato Avvia(TipoWorker tipo) override;
  // The agent's.
  int BitWorkerWindows() const override;
  Attesa& AttesaBloccata() override { return bloccata_; }

 private:
  AttesaLinux bloccata_;
  DriveTable drives_;
  std::filesystem::path worker_;
  std::shared_ptr<AgenteLinux> agente_;
};

}  // namespace cw
