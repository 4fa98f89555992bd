#include "platform/linux/programma_agente_linux.h"

namespace cw {

ProgrammaAgenteLinux::ProgrammaAgenteLinux(std::shared_ptr<AgenteLinux> agente, unsigned long numero, Attesa* attesa)
    : agente_(std::move(agente)), numero_(numero), generazione_(agente_->Generazione()), attesa_(attesa) {}

ProgrammaAgenteLinux::~ProgrammaAgenteLinux() { agente_->ChiudiProgramma(numero_, generazione_, AttesaDaUsare()); }

EsitoAttesa ProgrammaAgenteLinux::Attendi(std::chrono::milliseconds limite) {
  if (codice_) return EsitoAttesa::Finito;
  std::uint32_t codice = 0;
  switch (agente_->AttendiProgramma(numero_, generazione_, limite, AttesaDaUsare(), codice)) {
    case AgenteLinux::Stato::InCorso: return EsitoAttesa::InCorso;
    case AgenteLinux::Stato::Perso: return EsitoAttesa::Fallita;
    case AgenteLinux::Stato::Finito: break;
  }
  codice_ = codice;
  return EsitoAttesa::Finito;
}

std::optional<std::uint32_t> ProgrammaAgenteLinux::CodiceUscita() const { return codice_; }

void ProgrammaAgenteLinux::Termina() {
  if (codice_) return;
  agente_->TerminaProgramma(numero_, generazione_, AttesaDaUsare());
  std::uint32_t codice = 1;
  const bool finito = agente_->AttendiProgramma(numero_, generazione_, std::chrono::milliseconds(0), AttesaDaUsare(),
                                                codice) == AgenteLinux::Stato::Finito;
  codice_ = finito ? codice : 1;
}

std::vector<FinestraMostrata> ProgrammaAgenteLinux::Finestre() {
  if (codice_) return {};
  return agente_->FinestreProgramma(numero_, generazione_, AttesaDaUsare());
}

}  // namespace cw
