#pragma once
// The registration worker on Windows: compilawexo-regworker.exe, started
// once and asked one library at a time (protocollo_worker.h), in a job
// object, so that ending it ends whatever the component started too, and so
// that it dies with the tool. A call that passes its limit or crashes the
// worker ends it; the next call starts a fresh one.

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/canale_registrazione.h"
#include "platform/risposta_worker.h"

namespace cw {

class CanaleRegistrazioneWin32 : public CanaleRegistrazione {
 public:
  // How long the worker may take to say it is ready.
  static constexpr std::chrono::milliseconds kLimiteAvvio{30000};

  explicit CanaleRegistrazioneWin32(std::filesystem::path worker, std::chrono::milliseconds limiteAvvio = kLimiteAvvio);
  // Closes the worker's input, so it ends by itself, and ends it if it is
  // still there after a moment.
  ~CanaleRegistrazioneWin32() override;
  CanaleRegistrazioneWin32(const CanaleRegistrazioneWin32&) = delete;
  CanaleRegistrazioneWin32& operator=(const CanaleRegistrazioneWin32&) = delete;

  EsitoRegistrazione Chiedi(const std::string& entryPoint, const std::string& percorso,
                            std::chrono::milliseconds limite, Attesa* attesa) override;
  void Termina() override;

  bool Attivo() const { return processo_ != nullptr; }
  // The worker's process identifier; 0 when none runs.
  unsigned long Pid() const { return pid_; }

 private:
  using Orologio = std::chrono::steady_clock;

  bool Avvia(Attesa& attesa);
  // The next line of the worker's answers, waiting until scadenza.
  LetturaWorker LeggiRiga(std::string& riga, Orologio::time_point scadenza, Attesa& attesa);
  // Starts a read of the output; false when the output has ended.
  bool LeggiAncora();
  // Takes in a read that has completed; false when the output has ended.
  bool Completata();
  void Chiudi();

  std::filesystem::path worker_;
  std::chrono::milliseconds limiteAvvio_;
  void* job_ = nullptr;
  void* processo_ = nullptr;
  unsigned long pid_ = 0;
  void* entrata_ = nullptr;  // the worker's standard input, our end
  void* uscita_ = nullptr;   // its standard output, our end (overlapped)
  void* evento_ = nullptr;   // signalled when a read completes
  struct Sovrapposta;        // the OVERLAPPED of the read in flight
  Sovrapposta* lettura_ = nullptr;
  bool inCorso_ = false;
  char blocco_[512];
  std::string buffer_;
};

}  // namespace cw
