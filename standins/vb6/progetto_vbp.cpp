#include "progetto_vbp.h"

#include "base/ansi.h"

namespace cw::vb6 {
namespace {

std::string_view SenzaVirgolette(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

std::string_view SenzaSpazi(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  return v;
}

// "Name; file.bas" names its file after the semicolon; a bare value is the file.
std::string_view FileDelMembro(std::string_view v) {
  const size_t pv = v.find(';');
  return SenzaSpazi(pv == std::string_view::npos ? v : v.substr(pv + 1));
}

bool Chiave(std::string_view riga, std::string_view chiave, std::string_view& valore) {
  if (riga.substr(0, chiave.size()) != chiave) return false;
  valore = riga.substr(chiave.size());
  return true;
}

}  // namespace

ProgettoVbp LeggiProgetto(std::string_view contenuto) {
  ProgettoVbp p;
  size_t i = 0;
  while (i < contenuto.size()) {
    size_t fine = contenuto.find('\n', i);
    if (fine == std::string_view::npos) fine = contenuto.size();
    std::string_view riga = contenuto.substr(i, fine - i);
    i = fine + 1;
    if (!riga.empty() && riga.back() == '\r') riga.remove_suffix(1);
    if (!riga.empty() && riga.front() == '[') break;

    std::string_view v;
    if (Chiave(riga, "Type=", v)) {
      p.tipo = AnsiToUtf8(v);
    } else if (Chiave(riga, "Form=", v) || Chiave(riga, "Module=", v) || Chiave(riga, "Class=", v)) {
      p.membri.push_back(AnsiToUtf8(FileDelMembro(v)));
    } else if (Chiave(riga, "ExeName32=", v)) {
      p.nomeEseguibile = AnsiToUtf8(SenzaVirgolette(v));
    } else if (Chiave(riga, "CompatibleMode=", v)) {
      p.modoCompatibilita = AnsiToUtf8(SenzaVirgolette(v));
    } else if (Chiave(riga, "CompatibleExe32=", v)) {
      p.fileCompatibile = AnsiToUtf8(SenzaVirgolette(v));
    } else if (Chiave(riga, "StandinDomanda=", v)) {
      p.domanda = AnsiToUtf8(SenzaVirgolette(v));
    }
  }
  return p;
}

}  // namespace cw::vb6
