#include "base/detentore_blocco.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace cw {
namespace {

bool NomeValido(std::string_view s) {
  if (s.empty() || s.size() > 64) return false;
  for (const char c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

std::optional<std::int64_t> Positivo(std::string_view s) {
  std::int64_t n = 0;
  const auto [fine, errore] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (errore != std::errc{} || fine != s.data() + s.size() || n <= 0) return std::nullopt;
  return n;
}

std::tm OraLocale(std::int64_t secondi) {
  const std::time_t t = static_cast<std::time_t>(secondi);
  // std::localtime's result is shared by every caller: copied under a lock.
  static std::mutex m;
  std::lock_guard<std::mutex> lock(m);
  const std::tm* locale = std::localtime(&t);
  return locale ? *locale : std::tm{};
}

}  // namespace

std::string ScriviDetentore(const DetentoreBlocco& d) {
  return "programma=" + d.programma + "\ncomando=" + d.comando + "\npid=" + std::to_string(d.pid) +
         "\ninizio=" + std::to_string(d.inizio) + "\n";
}

std::optional<DetentoreBlocco> LeggiDetentore(std::string_view testo) {
  DetentoreBlocco d;
  int visti = 0;
  while (!testo.empty()) {
    const size_t a = testo.find('\n');
    if (a == std::string_view::npos) return std::nullopt;  // cut while written
    const std::string_view riga = testo.substr(0, a);
    testo.remove_prefix(a + 1);
    const size_t uguale = riga.find('=');
    if (uguale == std::string_view::npos) return std::nullopt;
    const std::string_view chiave = riga.substr(0, uguale), valore = riga.substr(uguale + 1);
    const bool nome = NomeValido(valore);
    const std::optional<std::int64_t> n = Positivo(valore);
    int bit = 0;
    if (chiave == "programma" && nome) {
      d.programma = valore;
      bit = 1;
    } else if (chiave == "comando" && nome) {
      d.comando = valore;
      bit = 2;
    } else if (chiave == "pid" && n) {
      d.pid = *n;
      bit = 4;
    } else if (chiave == "inizio" && n) {
      d.inizio = *n;
      bit = 8;
    }
    if (!bit || (visti & bit)) return std::nullopt;
    visti |= bit;
  }
  if (visti != 15) return std::nullopt;
  return d;
}

std::string DescriviDetentore(const DetentoreBlocco& d, std::int64_t adesso) {
  const std::tm inizio = OraLocale(d.inizio), oggi = OraLocale(adesso);
  char ora[16], data[40];
  std::snprintf(ora, sizeof ora, "%02d:%02d", inizio.tm_hour, inizio.tm_min);
  std::string testo = d.programma + " " + d.comando + ", ";
  const bool stessoGiorno = inizio.tm_year == oggi.tm_year && inizio.tm_yday == oggi.tm_yday && d.inizio <= adesso;
  if (stessoGiorno) return testo + "dalle " + ora;
  std::snprintf(data, sizeof data, "%02d/%02d/%04d", inizio.tm_mday, inizio.tm_mon + 1, inizio.tm_year + 1900);
  return testo + "dal " + data + " alle " + ora;
}

}  // namespace cw
