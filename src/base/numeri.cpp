#include "base/numeri.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace cw {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }
bool Cifra(char c) { return c >= '0' && c <= '9'; }

// The power of ten of the first significant digit, exponent included, for a
// text already known to match the number pattern (no sign). Only its sign
// matters: it tells a value too small for a double from one too large.
long long OrdineDiGrandezza(std::string_view s) {
  long long ordine = 0;
  bool trovata = false;
  long long interi = 0;
  size_t p = 0;
  for (; p < s.size() && Cifra(s[p]); ++p) {
    if (!trovata && s[p] != '0') {
      trovata = true;
      ordine = -static_cast<long long>(p);
    }
    ++interi;
  }
  if (trovata) ordine += interi - 1;
  if (p < s.size() && s[p] == '.') {
    ++p;
    for (long long j = 1; p < s.size() && Cifra(s[p]); ++p, ++j)
      if (!trovata && s[p] != '0') {
        trovata = true;
        ordine = -j;
      }
  }
  if (p < s.size()) {  // exponent
    ++p;
    bool meno = false;
    if (s[p] == '+' || s[p] == '-') meno = s[p++] == '-';
    long long e = 0;
    for (; p < s.size(); ++p) e = std::min<long long>(e * 10 + (s[p] - '0'), 1'000'000'000);
    ordine += meno ? -e : e;
  }
  return ordine;
}

}  // namespace

bool ConvertiNumero(std::string_view testo, double& valore) {
  size_t inizio = 0;
  size_t fine = testo.size();
  while (inizio < fine && Blank(testo[inizio])) ++inizio;
  while (fine > inizio && Blank(testo[fine - 1])) --fine;
  const std::string_view s = testo.substr(inizio, fine - inizio);

  size_t p = 0;
  bool negativo = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) negativo = s[p++] == '-';
  const size_t inizioNumero = p;
  size_t cifre = 0;
  for (; p < s.size() && Cifra(s[p]); ++p) ++cifre;
  if (p < s.size() && s[p] == '.')
    for (++p; p < s.size() && Cifra(s[p]); ++p) ++cifre;
  if (cifre == 0) return false;
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
    ++p;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
    size_t cifreEsponente = 0;
    for (; p < s.size() && Cifra(s[p]); ++p) ++cifreEsponente;
    if (cifreEsponente == 0) return false;
  }
  if (p != s.size()) return false;

  // from_chars ignores the locale, which is the point: "1,5" is never 1.5.
  const std::string_view numero = s.substr(inizioNumero);
  double v = 0;
  const auto [fermo, errore] = std::from_chars(numero.data(), numero.data() + numero.size(), v);
  if (errore == std::errc::result_out_of_range) {
    if (OrdineDiGrandezza(numero) >= 0) return false;
    v = 0;
  } else if (errore != std::errc{} || fermo != numero.data() + numero.size()) {
    return false;
  }
  valore = negativo ? -v : v;
  return true;
}

bool ArrotondaInt16(double valore, std::int16_t& risultato) {
  if (std::isnan(valore)) return false;
  const double sotto = std::floor(valore);
  const double resto = valore - sotto;
  double arrotondato = sotto;
  if (resto > 0.5 || (resto == 0.5 && std::fmod(sotto, 2.0) != 0.0)) arrotondato = sotto + 1.0;
  if (arrotondato < -32768.0 || arrotondato > 32767.0) return false;
  risultato = static_cast<std::int16_t>(arrotondato);
  return true;
}

bool NumeroDiVersione(std::string_view testo, int& valore) {
  size_t i = 0;
  while (i < testo.size() && (testo[i] == ' ' || testo[i] == '\t')) ++i;
  if (i == testo.size()) return false;
  int v = 0;
  for (; i < testo.size(); ++i) {
    if (testo[i] < '0' || testo[i] > '9') return false;
    v = v * 10 + (testo[i] - '0');
    if (v > kVersioneMassima) return false;
  }
  valore = v;
  return true;
}

}  // namespace cw
