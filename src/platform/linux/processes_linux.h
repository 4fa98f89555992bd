#pragma once
// The process service over Linux processes. A command line's program is a
// Windows path resolved through the drive table; a Windows (PE) program is
// started by the agent inside the prefix (platform/linux/agente_linux.h), or
// through wine where there is no agent; any other program file runs directly.
//
// Every child started here is reaped: a background thread collects the ones
// nobody holds a handle for as they end; a child somebody holds a handle for
// is reaped by the wait that sees it end, and keeps its exit status until the
// last handle is closed. Each child leads a process group of its own, so a
// signal to the tool ends what the child started too.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

#include "platform/attesa.h"
#include "platform/linux/agente_linux.h"
#include "platform/linux/attesa_linux.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/processes.h"

namespace cw {

// The variable through which a started program learns its window style
// ("0" hidden, "1" normal, "2" minimized).
inline constexpr const char* kVariabileStileFinestra = "CW_WINDOW_STYLE";

class ProcessesLinux : public Processes {
 public:
  struct Opzioni {
    // Where a bare program name is looked for first; empty: the folder of
    // the running executable.
    std::filesystem::path cartellaProgramma;
    // The search list for "wine"; nullopt: $PATH at each start.
    std::optional<std::string> percorsoRicerca;
    // How WaitForSingleObject waits; null: blocked in poll.
    Attesa* attesa = nullptr;
    // The agent's program, for an agent of this service's own; empty: the
    // one in the "windows" folder of the helpers. Where there is none, wine
    // gets the words and builds the line itself.
    std::filesystem::path agenteWindows;
    // The agent shared with the registration workers; null: one of its own.
    std::shared_ptr<AgenteLinux> agente = nullptr;
  };

  // Drives from $WINEPREFIX (or ~/.wine).
  ProcessesLinux();
  explicit ProcessesLinux(DriveTable drives);
  ProcessesLinux(DriveTable drives, Opzioni opzioni);
  ~ProcessesLinux() override;
  ProcessesLinux(const ProcessesLinux&) = delete;
  ProcessesLinux& operator=(const ProcessesLinux&) = delete;

  std::uint32_t Shell(const std::string& commandLine, int windowStyle) override;
  HandleProcesso OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override;
  // Once PreparaFineSuSegnale has run, a signal that arrives during the wait
  // ends the process waited for and throws FineSuSegnale.
  std::uint32_t WaitForSingleObject(HandleProcesso handle, std::uint32_t milliseconds) override;
  void CloseHandle(HandleProcesso handle) override;

  // A process of its own group, so TerminateProcess ends all it started.
  HandleProcesso AvviaConHandle(const std::string& commandLine, int windowStyle) override;
  // The exit code of a process that has ended: its exit status, or 128 plus
  // the signal that ended it. False while it runs or for an unknown handle.
  bool GetExitCodeProcess(HandleProcesso handle, std::uint32_t& code) override;
  // SIGKILL to its group, then reaps it.
  void TerminateProcess(HandleProcesso handle) override;
  // A Windows program started by the agent: the agent reads them (at most a
  // few seconds); any other program: none.
  std::vector<FinestraMostrata> FinestreMostrate(HandleProcesso handle) override;
  // The X11 screen of $DISPLAY (where Wine shows its windows too).
  bool SalvaSchermata(const std::string& percorso) override;

  // The host program a command line would start: a Windows path, a bare
  // name looked up in the program's folder and the prefix's system folders,
  // or an absolute host path; nullopt when there is none.
  std::optional<std::filesystem::path> TrovaProgramma(const std::string& program) const;

  // Children started here and not yet reaped.
  std::size_t FigliInCorso() const;

  // Identifiers of the programs the agent started count from here, above
  // any Linux process identifier.
  static constexpr std::uint32_t kPrimoRemoto = 1u << 30;

 private:
  struct Figlio {
    int pidfd = -1;
    int maniglie = 0;  // handles given out and not yet closed
    bool finito = false;
    std::uint32_t exitCode = 0;
    int segnale = 0;                // the signal that ended it, 0 for an exit
    bool primoPiano = false;        // shown in front: its wait hands it the terminal
    unsigned long discendenza = 0;  // its start's mark, for what left its group
  };
  // A program the agent started.
  struct Remoto {
    unsigned long numero = 0;  // the agent's
    unsigned generazione = 0;  // of the agent that started it
    int maniglie = 0;
    bool finito = false;
    std::uint32_t exitCode = 0;
  };

  // Shell, and with handle AvviaConHandle: the handle is taken before anything can reap the child.
  std::uint32_t Avvia(const std::string& commandLine, int windowStyle, HandleProcesso* handle);

  void AvviaRaccoglitore();
  void Raccoglitore();
  void Sveglia();
  // Reaps pid if it has ended; true when it has. Caller holds mutex_.
  bool RaccogliSeFinito(pid_t pid, Figlio& figlio, bool attendi);
  // A Windows program started by the agent; error 53 when it cannot be.
  std::uint32_t AvviaRemoto(const std::filesystem::path& programma, const std::string& commandLine, int windowStyle,
                            HandleProcesso* handle, const std::string& parola);
  // The remote program of a handle; null for none. Caller holds mutex_.
  Remoto* RemotoDi(HandleProcesso handle);
  Attesa& AttesaDaUsare();
  // Asks the group of the process waited for to end, forces it after a
  // grace, reaps its leader.
  void TerminaAtteso(pid_t pid);
  // Stopped from the terminal (Ctrl+Z) while it held it: the tool stops as
  // a shell's job, and once continued hands the terminal back to it.
  void RiprendiFermato(pid_t pid, int terminale);

  DriveTable drives_;
  Opzioni opzioni_;

  mutable std::mutex mutex_;
  std::map<pid_t, Figlio> figli_;
  std::map<HandleProcesso, pid_t> maniglie_;
  std::shared_ptr<AgenteLinux> agente_;
  std::map<std::uint32_t, Remoto> remoti_;
  std::map<HandleProcesso, std::uint32_t> maniglieRemote_;
  std::uint32_t nextRemoto_ = kPrimoRemoto;
  HandleProcesso nextHandle_ = 4;
  int sveglia_ = -1;  // eventfd that wakes the reaper
  bool fine_ = false;
  std::thread raccoglitore_;
  AttesaLinux bloccata_;
};

}  // namespace cw
