#pragma once
// A Windows program the agent started inside the prefix: its waits, its end
// and its windows are requests to the agent.

#include <memory>

#include "platform/attesa.h"
#include "platform/linux/agente_linux.h"
#include "platform/processi.h"

namespace cw {

class ProgrammaAgenteLinux : public ProgrammaAvviato {
 public:
  // attesa: how the agent's answers are waited for; null: blocked.
  ProgrammaAgenteLinux(std::shared_ptr<AgenteLinux> agente, unsigned long numero, Attesa* attesa);
  // The agent forgets one that has ended; one still running ends with it.
  ~ProgrammaAgenteLinux() override;
  ProgrammaAgenteLinux(const ProgrammaAgenteLinux&) = delete;
  ProgrammaAgenteLinux& operator=(const ProgrammaAgenteLinux&) = delete;

  // A signal meanwhile ends the agent, and the program with it, and throws.
  EsitoAttesa Attendi(std::chrono::milliseconds limite) override;
  std::optional<std::uint32_t> CodiceUscita() const override;
  // An agent that does not answer is ended, and the program with it.
  void Termina() override;
  // The agent reads them (at most a few seconds).
  std::vector<FinestraMostrata> Finestre() override;

 private:
  Attesa& AttesaDaUsare() { return attesa_ ? *attesa_ : agente_->AttesaBloccata(); }

  std::shared_ptr<AgenteLinux> agente_;
  unsigned long numero_;
  unsigned generazione_;  // of the agent that started it
  Attesa* attesa_;
  std::optional<std::uint32_t> codice_;
};

}  // namespace cw
