#include "projectfile/riferimenti_progetto.h"

namespace cw {
namespace {

std::string_view SenzaSpazi(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  return v;
}

bool Chiave(std::string_view riga, std::string_view chiave, std::string_view& valore) {
  if (!riga.starts_with(chiave)) return false;
  valore = riga.substr(chiave.size());
  return true;
}

// The n-th field (from 0) of a text split at "#".
std::string_view Campo(std::string_view v, int n) {
  for (; n > 0; --n) {
    const size_t k = v.find('#');
    if (k == std::string_view::npos) return {};
    v.remove_prefix(k + 1);
  }
  return v.substr(0, v.find('#'));
}

}  // namespace

RiferimentiProgetto LeggiRiferimenti(std::string_view contenuto) {
  RiferimentiProgetto r;
  auto aggiungi = [&r](std::string_view file, bool progetto) {
    file = SenzaSpazi(file);
    if (file.empty()) return;
    r.file.emplace_back(file);
    r.progetto.push_back(progetto);
  };
  size_t i = 0;
  while (i < contenuto.size()) {
    size_t fine = contenuto.find('\n', i);
    if (fine == std::string_view::npos) fine = contenuto.size();
    std::string_view riga = contenuto.substr(i, fine - i);
    i = fine + 1;
    if (!riga.empty() && riga.back() == '\r') riga.remove_suffix(1);
    if (!riga.empty() && riga.front() == '[') break;

    std::string_view v;
    if (Chiave(riga, "Reference=*\\G", v)) {
      aggiungi(Campo(v, 3), false);
    } else if (Chiave(riga, "Reference=*\\A", v)) {
      aggiungi(v, true);
    } else if (Chiave(riga, "Object=", v)) {
      const size_t pv = v.find(';');
      if (pv != std::string_view::npos) aggiungi(v.substr(pv + 1), false);
    } else if (Chiave(riga, "ExeName32=", v)) {
      if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
      r.nomeEseguibile = std::string(v);
    }
  }
  return r;
}

}  // namespace cw
