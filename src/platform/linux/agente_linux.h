#pragma once
// The agent under Wine (compilawexo-agente.exe): the one Windows program of
// ours in the prefix, started at the first need of the services that share
// it (the processes and the registration workers) and kept until they end,
// so Wine's start of a program is paid once a command, not twice a row. It
// speaks the workers' protocol (base/protocollo_agente.h) over two pipes; its
// standard error is /dev/null. One request at a time, from one thread.
//
// An agent that crashes, passes a request's limit or says what the protocol
// does not know is ended with all it started; the next request gets a fresh
// one. What was started by an ended agent is gone with it.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/attesa.h"
#include "platform/linux/attesa_linux.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/processi.h"
#include "platform/trasporto_worker.h"

namespace cw {

class TrasportoWorkerLinux;

// The agent in the "windows" folder of the program's helpers.
std::filesystem::path PercorsoAgentePredefinito();

class AgenteLinux {
 public:
  // percorsoRicerca: the search list for "wine"; nullopt: $PATH.
  explicit AgenteLinux(DriveTable drives, std::filesystem::path programma = PercorsoAgentePredefinito(),
                       std::optional<std::string> percorsoRicerca = std::nullopt);
  // Its input closed, it ends by itself, and what it started with it.
  ~AgenteLinux();
  AgenteLinux(const AgenteLinux&) = delete;
  AgenteLinux& operator=(const AgenteLinux&) = delete;

  // Whether its program is there: where not, the tool starts Windows
  // programs through wine itself.
  bool Presente() const;
  // Whether there is a wine to start it with.
  bool ConWine() const;
  // Its bitness (32 when its file says nothing): it registers libraries of
  // its own only.
  int Bit() const;
  // The running agent, started when there is none and waited for until it
  // says it is ready (Wine's start in the prefix, told past a second); null
  // when it cannot be started or said nothing in time. A signal meanwhile
  // ends it and throws FineSuSegnale. One that cannot start on this host (a
  // 32-bit agent where no 32-bit program runs), or that Wine ended before it
  // was ready, throws ErroreAvvioWindows with the reason and Wine's last
  // lines.
  TrasportoWorker* Pronto(Attesa& attesa, std::chrono::steady_clock::time_point scadenza);
  // The agent that runs now, started and ready; null when there is none.
  TrasportoWorker* Attuale();
  // Counts the agents started: a program's number is good only with the
  // agent that gave it.
  unsigned Generazione() const { return generazione_; }
  // Ends the agent with all it started; the next request starts a fresh one.
  void Termina();

  // One request and its answer's lines, up to one that is one of finali
  // (its first word), read until scadenza; false when the agent gave no such
  // answer (it is then ended).
  bool Chiedi(const std::string& richiesta, const std::vector<std::string>& finali,
              std::chrono::steady_clock::time_point scadenza, Attesa& attesa, std::vector<std::string>& righe);

  // The programs' requests; generazione as Generazione() was at the start.
  struct Avviato {
    bool ok = false;
    unsigned long numero = 0;
    std::string errore;  // not ok: why, in the system's words
  };
  Avviato AvviaProgramma(const std::filesystem::path& programma, const std::string& riga, int stile, Attesa& attesa);
  enum class Stato { Finito, InCorso, Perso };
  // Waits up to limite (kSenzaLimite: until it ends, asked a second at a time).
  Stato AttendiProgramma(unsigned long numero, unsigned generazione, std::chrono::milliseconds limite, Attesa& attesa,
                         std::uint32_t& codice);
  std::vector<FinestraMostrata> FinestreProgramma(unsigned long numero, unsigned generazione, Attesa& attesa);
  void TerminaProgramma(unsigned long numero, unsigned generazione, Attesa& attesa);
  void ChiudiProgramma(unsigned long numero, unsigned generazione, Attesa& attesa);

  Attesa& AttesaBloccata() { return bloccata_; }

 private:
  // Whether the agent of that generation still runs.
  bool Vivo(unsigned generazione) { return generazione == generazione_ && Attuale(); }

  DriveTable drives_;
  std::filesystem::path programma_;
  std::optional<std::string> percorsoRicerca_;
  std::unique_ptr<TrasportoWorkerLinux> trasporto_;
  unsigned generazione_ = 0;
  AttesaLinux bloccata_;
};

// The registration's view of the agent (AvvioWorker::Avvia): it says the
// agent's "pronto" once, and ending it ends the agent, as for any worker;
// dropping it leaves the agent to the others.
std::unique_ptr<TrasportoWorker> VistaRegistrazione(AgenteLinux& agente);

}  // namespace cw
