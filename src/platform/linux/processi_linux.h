#pragma once
// The process service over Linux processes. A command line's program is a
// Windows path resolved through the drive table; a Windows (PE) program is
// started by the agent inside the prefix (platform/linux/agente_linux.h), or
// through wine where there is no agent; any other program file runs directly,
// as a child of a group of its own.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/attesa.h"
#include "platform/linux/agente_linux.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/raccoglitore_linux.h"
#include "platform/linux/ricerca_programmi_linux.h"
#include "platform/processi.h"

namespace cw {

// The variable through which a started program learns its window style
// ("0" hidden, "1" normal, "2" minimized).
inline constexpr const char* kVariabileStileFinestra = "CW_WINDOW_STYLE";

class ProcessiLinux : public Processi {
 public:
  struct Opzioni {
    // Where a bare program name is looked for first; empty: the folder of
    // the running executable.
    std::filesystem::path cartellaProgramma;
    // The search list for "wine"; nullopt: $PATH at each start.
    std::optional<std::string> percorsoRicerca;
    // How waits wait; null: blocked in poll.
    Attesa* attesa = nullptr;
    // The agent's program, for an agent of this service's own; empty: the
    // one in the "windows" folder of the helpers. Where there is none, wine
    // gets the words and builds the line itself.
    std::filesystem::path agenteWindows;
    // The agent shared with the registration workers; null: one of its own.
    std::shared_ptr<AgenteLinux> agente = nullptr;
  };

  // Drives from $WINEPREFIX (or ~/.wine).
  ProcessiLinux();
  explicit ProcessiLinux(DriveTable drives);
  ProcessiLinux(DriveTable drives, Opzioni opzioni);

  std::unique_ptr<ProgrammaAvviato> Avvia(const std::string& riga, int stile) override;
  // Children of its own are waited for all at once, through their pidfds; a
  // signal meanwhile ends them all and throws FineSuSegnale. Others (the
  // agent's) by turns.
  std::optional<std::size_t> AttendiPrimo(std::span<ProgrammaAvviato* const> programmi,
                                          std::chrono::milliseconds limite) override;

  // The host program a command line would start (RicercaProgrammiLinux).
  std::optional<std::filesystem::path> TrovaProgramma(const std::string& programma) const {
    return ricerca_.Trova(programma);
  }
  // Children started here and not yet reaped.
  std::size_t FigliInCorso() const { return raccoglitore_->InCorso(); }

 private:
  std::unique_ptr<ProgrammaAvviato> AvviaDallAgente(const std::filesystem::path& programma, const std::string& riga,
                                                    int stile, const std::string& parola);

  DriveTable drives_;
  Opzioni opzioni_;
  RicercaProgrammiLinux ricerca_;
  std::shared_ptr<AgenteLinux> agente_;
  std::shared_ptr<RaccoglitoreLinux> raccoglitore_ = std::make_shared<RaccoglitoreLinux>();
};

}  // namespace cw
