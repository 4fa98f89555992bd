#include "projectfile/regole_riga.h"

#include "base/errors.h"

namespace cw {
namespace {

// A replacement holding a line end would write lines of its own into every
// file (a pasted "riga1\r\nMajorVer=99" becomes a real key): refused before
// any line is rewritten, whatever front end let it through.
std::string UnaRiga(std::string testo) {
  if (testo.find_first_of("\r\n") != std::string::npos)
    SollevaErrore(kChiamataNonValida, "a replacement text holds a line end");
  return testo;
}

}  // namespace

RegolaRiga RegolaPrefisso(std::string chiave, std::string valore) {
  // The replacement line is the same for every match: build it once.
  return [chiave, sostituta = chiave + UnaRiga(std::move(valore))](std::string riga) -> std::string {
    if (riga.size() >= chiave.size() && riga.compare(0, chiave.size(), chiave) == 0) return sostituta;
    return riga;
  };
}

RegolaRiga RegolaRigaIntera(std::string testo, std::string sostituto) {
  return [testo = std::move(testo), sostituto = UnaRiga(std::move(sostituto))](std::string riga) -> std::string {
    // compare(), not ==: GCC 12 sees an uninitialised read in the inlined ==.
    if (riga.compare(testo) == 0) return sostituto;
    return riga;
  };
}

RegolaRiga RegolaSottostringa(std::string vecchio, std::string nuovo) {
  return [vecchio = std::move(vecchio), nuovo = UnaRiga(std::move(nuovo))](std::string riga) -> std::string {
    if (vecchio.empty()) return riga;
    std::size_t trovato = riga.find(vecchio);
    if (trovato == std::string::npos) return riga;  // the common case: no copy at all
    std::string fuori;
    fuori.reserve(riga.size() + (nuovo.size() > vecchio.size() ? nuovo.size() - vecchio.size() : 0));
    std::size_t da = 0;
    while (trovato != std::string::npos) {
      fuori.append(riga, da, trovato - da);
      fuori += nuovo;
      da = trovato + vecchio.size();
      trovato = riga.find(vecchio, da);
    }
    fuori.append(riga, da, std::string::npos);
    return fuori;
  };
}

RegolaRiga InSequenza(std::vector<RegolaRiga> regole) {
  if (regole.size() == 1) return std::move(regole.front());
  return [regole = std::move(regole)](std::string riga) -> std::string {
    for (const auto& regola : regole) riga = regola(std::move(riga));
    return riga;
  };
}

}  // namespace cw
