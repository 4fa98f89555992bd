#include "projectfile/versione.h"

#include "base/numeri.h"

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

const char* VersioneNonValida(std::string_view principale, std::string_view secondario, std::string_view revisione,
                              bool incremento) {
  const struct {
    std::string_view testo;
    const char* messaggio;
  } kControlli[] = {
      {principale, "Versione principale non valida"},
      {secondario, "Versione secondaria non valida"},
      {revisione, "Versione revisione non valida"},
  };
  int valore = 0;
  for (const auto& c : kControlli)
    if (!NumeroDiVersione(c.testo, valore)) return c.messaggio;
  // valore is the revision's now: its successor must pass this check too.
  if (incremento && valore >= kVersioneMassima)
    return "Versione revisione non valida: con \"Incremento automatico\" la revisione 9999 diventerebbe 10000, "
           "oltre il massimo di 9999";
  return nullptr;
}

}  // namespace cw
