#include "commands/chiusura.h"

namespace cw {

bool ChiudereDuranteComando(Ui& ui) {
  ui.MsgBox(kComandoInCorso, kStileEsclamativo, kTitoloApplicazione);
  return false;
}

}  // namespace cw
