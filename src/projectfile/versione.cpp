#include "projectfile/versione.h"

#include "platform/numeri.h"

namespace cw {

RevisioneLetta LeggiRevisione(std::string_view testo) {
  RevisioneLetta letta;
  double valore = 0;
  letta.numero = ConvertiNumero(testo, valore);
  std::int16_t revisione = 0;
  if (letta.numero && ArrotondaInt16(valore, revisione) && revisione != INT16_MAX)
    letta.successiva = static_cast<std::int16_t>(revisione + 1);
  return letta;
}

}  // namespace cw
