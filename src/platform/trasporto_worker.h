#pragma once
// The tool's worker programs as the platform starts them: a program of ours
// with its standard input and output as pipes to the tool, in a process group
// (on Windows, a job) of its own, so that ending it ends all it started. The
// tool writes it lines and reads its lines back with a limit; what the lines
// say is the registration's business (registration/protocollo_worker.h),
// which program runs for a library, and how it is started, the platform's.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/attesa.h"

namespace cw {

// The workers' file names: the Linux one beside the program's helpers; the
// agent, the Windows worker, in their "windows" folder on Linux, beside the
// program on Windows.
inline constexpr const char* kNomeWorker = "compilawexo-regworker";
inline constexpr const char* kNomeAgente = "compilawexo-agente.exe";

enum class LetturaRiga {
  Riga,     // a line, without its end
  Fine,     // the program has ended and all it wrote has been read
  Scaduto,  // the deadline passed, or the wait failed
};

class TrasportoWorker {
 public:
  // Closes the program's input, so it ends by itself, and ends it with all
  // it started if it is still there after a moment.
  virtual ~TrasportoWorker() = default;
  // Writes the line and its LF; false when the program can take no more.
  virtual bool Scrivi(std::string_view riga) = 0;
  // The next line, waited for until scadenza through attesa (a CR before
  // the LF is dropped). The program's end counts as the end of its output: a
  // program it started may hold the pipe open. On Linux, once
  // PreparaFineSuSegnale has run, a signal that arrives meanwhile ends the
  // program and throws FineSuSegnale.
  virtual LetturaRiga Leggi(std::string& riga, std::chrono::steady_clock::time_point scadenza, Attesa& attesa) = 0;
  // Ends the program and all it started, and reaps it; harmless once done.
  virtual void Termina() = 0;
};

enum class TipoWorker {
  Windows,  // the agent, compilawexo-agente.exe: Windows libraries (on Linux, under Wine)
  Linux,    // compilawexo-regworker: Linux libraries
};

// A library as a worker would meet it, found by its Windows path.
struct LibreriaTrovata {
  enum class Stato {
    File,           // a file: what follows is its
    Mancante,       // no such drive, folder or file
    Cartella,       // a folder
    NonFile,        // something else (a pipe would hold a loader for good)
    Inaccessibile,  // the system would not say what it is
  };
  Stato stato = Stato::Mancante;
  std::string percorsoHost;      // the host's path of it, for the Linux worker
  std::string testa;             // its first bytes, as many as asked for; none when it cannot be read
  std::uint64_t dimensione = 0;  // its size
};

struct WorkerAvviato {
  std::unique_ptr<TrasportoWorker> trasporto;  // null: it could not be started
  bool senzaWine = false;                      // not started: the Windows worker needs wine, and there is none
  // How long it may take to say it is ready: Wine's first start in a new
  // prefix alone takes several seconds.
  std::chrono::milliseconds limiteAvvio{0};
};

class AvvioWorker {
 public:
  virtual ~AvvioWorker() = default;
  // The library at the Windows path, and up to massimo of its first bytes.
  virtual LibreriaTrovata Trova(const std::string& percorso, std::size_t massimo) = 0;
  // Whether there is a Linux worker: where not, the Windows worker takes
  // every library.
  virtual bool HaWorkerLinux() const = 0;
  // Starts a worker of that kind.
  virtual WorkerAvviato Avvia(TipoWorker tipo) = 0;
  // The bitness of the Windows worker's loader (32 or 64): it registers
  // libraries of its own only.
  virtual int BitWorkerWindows() const = 0;
  // The platform's blocked wait, for a caller that brings no wait of its own
  // (the batch front end).
  virtual Attesa& AttesaBloccata() = 0;
};

}  // namespace cw
