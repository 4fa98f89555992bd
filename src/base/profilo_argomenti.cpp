#include "base/profilo_argomenti.h"

namespace cw {

bool ArgomentiProfiloSicuri(std::string_view sezione, std::string_view chiave, std::string_view valore) {
  const auto haFineRiga = [](std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; };
  const auto tabAgliEstremi = [](std::string_view s) {
    return !s.empty() && (s.front() == '\t' || s.front() == '\v' || s.back() == '\t' || s.back() == '\v');
  };
  if (haFineRiga(sezione) || haFineRiga(chiave) || haFineRiga(valore)) return false;
  if (sezione.find(']') != std::string_view::npos) return false;
  if (chiave.find('=') != std::string_view::npos) return false;
  if (!chiave.empty() && (chiave.front() == ';' || chiave.front() == '[')) return false;
  return !tabAgliEstremi(sezione) && !tabAgliEstremi(chiave);
}

}  // namespace cw
