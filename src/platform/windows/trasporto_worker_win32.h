#pragma once
// The worker on Windows: the agent, compilawexo-agente.exe, beside the program,
// started with its standard input and output as pipes, in a job object, so
// that ending it ends whatever the component started too, and so that it
// dies with the tool. It takes every library: there is no other worker here.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/attesa.h"
#include "platform/trasporto_worker.h"
#include "platform/windows/attesa_win32.h"

namespace cw {

class TrasportoWorkerWin32 : public TrasportoWorker {
 public:
  // Starts the program in a job of its own; null when it cannot be started.
  static std::unique_ptr<TrasportoWorkerWin32> Avvia(const std::filesystem::path& programma);

  ~TrasportoWorkerWin32() override;
  TrasportoWorkerWin32(const TrasportoWorkerWin32&) = delete;
  TrasportoWorkerWin32& operator=(const TrasportoWorkerWin32&) = delete;

  bool Scrivi(std::string_view riga) override;
  LetturaRiga Leggi(std::string& riga, std::chrono::steady_clock::time_point scadenza, Attesa& attesa) override;
  // Its job ended (the program alone where it has none), then waited for.
  void Termina() override;

  // The program's process identifier; 0 once it has been ended.
  unsigned long Pid() const { return pid_; }

 private:
  TrasportoWorkerWin32();
  // Starts a read of the output; false when the output has ended.
  bool LeggiAncora();
  // Takes in a read that has completed; false when the output has ended.
  bool Completata();
  void Chiudi();

  void* job_ = nullptr;
  void* processo_ = nullptr;
  unsigned long pid_ = 0;
  void* entrata_ = nullptr;  // the program's standard input, our end
  void* uscita_ = nullptr;   // its standard output, our end (overlapped)
  void* evento_ = nullptr;   // signalled when a read completes
  struct Sovrapposta;        // the OVERLAPPED of the read in flight
  std::unique_ptr<Sovrapposta> lettura_;
  bool inCorso_ = false;
  char blocco_[512];
  std::string buffer_;
};

class AvvioWorkerWin32 : public AvvioWorker {
 public:
  // How long the worker may take to say it is ready.
  static constexpr std::chrono::milliseconds kLimiteAvvio{30000};

  explicit AvvioWorkerWin32(std::filesystem::path worker, std::chrono::milliseconds limiteAvvio = kLimiteAvvio);

  LibreriaTrovata Trova(const std::string& percorso, std::size_t massimo) override;
  bool HaWorkerLinux() const override { return false; }
  WorkerAvviato Avvia(TipoWorker tipo) override;
  // The agent is built as the tool is.
  int BitWorkerWindows() const override { return static_cast<int>(sizeof(void*) * 8); }
  Attesa& AttesaBloccata() override { return bloccata_; }

 private:
  std::filesystem::path worker_;
  std::chrono::milliseconds limiteAvvio_;
  AttesaWin32 bloccata_;
};

}  // namespace cw
