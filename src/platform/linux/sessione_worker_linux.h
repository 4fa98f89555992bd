#pragma once
// One run of the registration worker (compilawexo-regworker) in a process
// group of its own: started, its report read, waited for with a limit, and
// ended with everything it started when the limit has passed.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/attesa.h"
#include "platform/canale_registrazione.h"

namespace cw {

class SessioneWorker {
 public:
  SessioneWorker() = default;
  // Ends the worker's group if it still runs, and reaps it.
  ~SessioneWorker();
  SessioneWorker(const SessioneWorker&) = delete;
  SessioneWorker& operator=(const SessioneWorker&) = delete;

  // Starts the worker on the library (a host path), with WINEPREFIX set to
  // the prefix so the component records its registration there. False when
  // the worker cannot be started.
  bool Avvia(const std::filesystem::path& worker, const std::string& entryPoint, const std::filesystem::path& libreria,
             const std::filesystem::path& prefisso);

  // Reads the report until the worker ends or the limit passes. The limit
  // runs from the start and starts again when the entry point is called, so
  // the entry point always gets all of it. On TimeOut the worker still runs.
  // Once PreparaFineSuSegnale has run, a signal that arrives meanwhile ends
  // the worker's group and throws FineSuSegnale.
  EsitoRegistrazione Attendi(std::chrono::milliseconds limite, Attesa& attesa);

  // SIGKILL to the worker's group, then reaps the worker. Harmless once it
  // has been reaped.
  void Termina();

  pid_t Pid() const { return pid_; }

 private:
  EsitoRegistrazione Aspetta(std::chrono::milliseconds limite, Attesa& attesa);
  void LeggiRapporto();
  void ChiudiDescrittori();

  pid_t pid_ = -1;
  int pidfd_ = -1;
  int rapporto_ = -1;
  bool raccolto_ = false;
  std::string buffer_;
  bool entryPointTrovato_ = false;
  std::optional<EsitoRegistrazione> finale_;  // the line that ended the report
};

}  // namespace cw
