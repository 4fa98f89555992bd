#include "catalogue/catalogo.h"

#include "base/errors.h"

namespace cw {

const std::string& CatalogoComponenti::operator()(int riga, int colonna) const {
  if (riga < LBound() || riga > UBound() || colonna < 0 || colonna > 4) SollevaErrore(kIndiceFuoriIntervallo);
  return righe_[static_cast<size_t>(riga)][static_cast<size_t>(colonna)];
}

void CatalogoComponenti::Imposta(int riga, int colonna, std::string valore) {
  if (riga < LBound() || riga > UBound() || colonna < 0 || colonna > 4) SollevaErrore(kIndiceFuoriIntervallo);
  righe_[static_cast<size_t>(riga)][static_cast<size_t>(colonna)] = std::move(valore);
}

std::string CatalogoComponenti::FileProgettoCompleto(int riga) const {
  return (*this)(riga, kCartella) + "\\" + (*this)(riga, kFileProgetto);
}

std::string CatalogoComponenti::FileOutputCompleto(int riga) const {
  return (*this)(riga, kCartellaOutput) + "\\" + (*this)(riga, kFileOutput);
}

}  // namespace cw
