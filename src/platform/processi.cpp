#include "platform/processi.h"

#include <algorithm>

namespace cw {

std::optional<std::size_t> Processi::AttendiPrimo(std::span<ProgrammaAvviato* const> programmi,
                                                  std::chrono::milliseconds limite) {
  using Orologio = std::chrono::steady_clock;
  // Short enough that a build's end is seen at once beside a compile of
  // seconds; each turn's waits also hear a signal.
  constexpr std::chrono::milliseconds kTurno{10};
  const bool senzaLimite = limite == kSenzaLimite;
  const auto scadenza = senzaLimite ? Orologio::time_point::max() : Orologio::now() + limite;
  if (programmi.empty()) return std::nullopt;
  for (;;) {
    for (std::size_t i = 0; i < programmi.size(); ++i)
      if (programmi[i]->Attendi(std::chrono::milliseconds(0)) != EsitoAttesa::InCorso) return i;
    const auto ora = Orologio::now();
    if (!senzaLimite && ora >= scadenza) return std::nullopt;
    auto turno = kTurno;
    if (!senzaLimite) turno = std::min(turno, std::chrono::ceil<std::chrono::milliseconds>(scadenza - ora));
    if (programmi.front()->Attendi(turno) != EsitoAttesa::InCorso) return 0;
  }
}

}  // namespace cw
