#pragma once
// The Windows registration worker (compilawexo-regworker.exe) run through
// wine for a whole walk: started once, so Wine's start is paid once, then
// asked one library at a time. It runs in a process group of its own; a
// call that passes its limit or crashes the worker ends that group, and the
// next call starts a fresh worker.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/attesa.h"
#include "platform/linux/sessione_worker_linux.h"
#include "platform/risposta_worker.h"

namespace cw {

class SessioneWorkerWindows {
 public:
  SessioneWorkerWindows() = default;
  // Closes the worker's input, so it ends by itself, and ends its group if
  // it still runs.
  ~SessioneWorkerWindows();
  SessioneWorkerWindows(const SessioneWorkerWindows&) = delete;
  SessioneWorkerWindows& operator=(const SessioneWorkerWindows&) = delete;

  // Starts `wine worker` with WINEPREFIX set to the prefix and waits for it
  // to say it is ready, for at most limiteAvvio (a first start in a new
  // prefix takes Wine several seconds). False when it cannot be started or
  // does not get ready; then nothing of it is left running.
  bool Avvia(const std::filesystem::path& wine, const std::filesystem::path& worker,
             const std::filesystem::path& prefisso, std::chrono::milliseconds limiteAvvio, Attesa& attesa);

  bool Attivo() const { return pid_ > 0; }

  // One call of the entry point of the library at the Windows path. The
  // limit starts again when the entry point is called, as for the Linux
  // worker. On TimeOut the worker still runs (the caller ends it once the
  // user has been told); on Errore and NonAvviato it has ended. A signal
  // that arrives meanwhile ends the worker and throws FineSuSegnale.
  EsitoRegistrazione Chiedi(const std::string& entryPoint, const std::string& percorsoWindows,
                            std::chrono::milliseconds limite, Attesa& attesa);

  // SIGKILL to the worker's group, then reaps it.
  void Termina();

 private:
  // The next line of the worker's answers, waiting until scadenza.
  LetturaWorker LeggiRiga(std::string& riga, std::chrono::steady_clock::time_point scadenza, Attesa& attesa);
  void ControllaSegnale();
  void Raccogli();
  void ChiudiDescrittori();

  pid_t pid_ = -1;
  int pidfd_ = -1;
  int entrata_ = -1;  // the worker's standard input
  int uscita_ = -1;   // its standard output
  std::string buffer_;
};

}  // namespace cw
