#pragma once
// The command frame most handlers share: busy pointer, log cleared and its
// font reset, the operations, "Pronto" appended and selected, repaint,
// pointer back, the closing message.

#include <functional>
#include <string>

#include "commands/comandi.h"
#include "platform/passi_log.h"

namespace cw {

struct Cornice {
  int puntatore = kPuntatoreClessidra;  // 11 or 13
  bool pronto = true;                   // steps 5-7: "Pronto", select, repaint
  std::string messaggioFinale;          // empty: no closing message
};

inline constexpr const char* kFontFinestra = "Tahoma";

// Steps 1-3 of the frame.
void AperturaCornice(Contesto& ctx, const Cornice& cornice);
// Steps 5-9 of the frame.
void ChiusuraCornice(Contesto& ctx, const Cornice& cornice);

// The whole frame around the operations. The operations may end the command
// early by returning an Esito other than Completato: the closing steps are
// then theirs to do. A run-time error passes through untouched.
Esito InCornice(Contesto& ctx, const Cornice& cornice, const std::function<Esito()>& operazioni);

}  // namespace cw
