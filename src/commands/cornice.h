#pragma once
// The command frame most handlers share: busy pointer, log cleared and its
// font reset, the operations, "Pronto" appended and selected, repaint,
// pointer back, the closing message.

#include <functional>
#include <string>

#include "base/passi_log.h"
#include "commands/comandi.h"

namespace cw {

struct Cornice {
  int puntatore = kPuntatoreClessidra;  // 11 or 13
  bool pronto = true;                   // "Pronto" appended, selected, repainted
  std::string messaggioFinale;          // empty: no closing message
  int stileFinale = kStileInformativo;  // 48 when it tells of a failure
};

inline constexpr const char* kFontFinestra = "Tahoma";

// The opening: the busy pointer, the log cleared, its font reset.
void AperturaCornice(Contesto& ctx, const Cornice& cornice);
// The closing: "Pronto" (unless the frame has none), the pointer back to
// the default, the closing message. Nothing is written after that box, so
// the prefix lock is let go before it: a batch step of CI need not wait for
// someone to click OK.
void ChiusuraCornice(Contesto& ctx, const Cornice& cornice);

// The whole frame around the operations. The closing follows when they end
// Completato or Fallito; an operation that ends Rifiutato has done its own
// ending already. A run-time error passes through untouched.
Esito InCornice(Contesto& ctx, const Cornice& cornice, const std::function<Esito()>& operazioni);

}  // namespace cw
