#include "tools/diff_unificato.h"

#include <algorithm>

#include "base/ansi.h"
#include "base/errors.h"

namespace cw {
namespace {

// "-a,b" where a is 1-based; an empty range names the line before it, as
// diff(1) does.
std::string Intervallo(size_t inizio, size_t lunghezza) {
  const size_t primo = lunghezza == 0 ? inizio : inizio + 1;
  return std::to_string(primo) + "," + std::to_string(lunghezza);
}

// The line end a line carries: CR LF, LF, a lone CR, or none.
std::string_view FineRiga(std::string_view riga) {
  if (riga.ends_with("\r\n")) return riga.substr(riga.size() - 2);
  if (riga.ends_with('\n') || riga.ends_with('\r')) return riga.substr(riga.size() - 1);
  return {};
}

// The line as shown: its bytes as UTF-8 without the end, which is named when
// it is what changed, since the two sides would otherwise look the same.
std::string Mostrata(std::string_view riga, std::string_view altra) {
  const std::string_view fine = FineRiga(riga);
  std::string testo = AnsiToUtf8(riga.substr(0, riga.size() - fine.size()));
  if (fine != FineRiga(altra)) {
    if (fine.empty())
      testo += " (senza a capo)";
    else
      testo += fine == "\r\n" ? " (a capo CR LF)" : fine == "\n" ? " (a capo LF)" : " (a capo CR)";
  }
  return testo;
}

}  // namespace

DiffFile DiffUnificato(std::string_view percorso, const std::vector<std::string>& prima,
                       const std::vector<std::string>& dopo, int contesto) {
  DiffFile diff;
  if (prima.size() != dopo.size()) throw ErroreRuntime(5);
  const size_t n = prima.size();
  const size_t ctx = static_cast<size_t>(std::max(contesto, 0));

  std::vector<size_t> cambiate;
  for (size_t i = 0; i < n; ++i)
    if (prima[i] != dopo[i]) cambiate.push_back(i);
  diff.righeCambiate = static_cast<int>(cambiate.size());
  if (cambiate.empty()) return diff;

  // Paths are UTF-8 already, as every path the program handles.
  const std::string nome(percorso);
  diff.testo = "--- " + nome + "\n+++ " + nome + "\n";
  size_t k = 0;
  while (k < cambiate.size()) {
    // One hunk: changed lines joined while their contexts touch.
    size_t fine = k;
    while (fine + 1 < cambiate.size() && cambiate[fine + 1] - cambiate[fine] <= 2 * ctx + 1) ++fine;
    const size_t da = cambiate[k] >= ctx ? cambiate[k] - ctx : 0;
    const size_t a = std::min(n, cambiate[fine] + ctx + 1);
    diff.testo += "@@ -" + Intervallo(da, a - da) + " +" + Intervallo(da, a - da) + " @@\n";
    std::string tolte, messe;
    auto scarica = [&] {
      diff.testo += tolte + messe;
      tolte.clear();
      messe.clear();
    };
    for (size_t i = da; i < a; ++i) {
      if (prima[i] == dopo[i]) {
        scarica();
        diff.testo += " " + Mostrata(prima[i], prima[i]) + "\n";
      } else {
        tolte += "-" + Mostrata(prima[i], dopo[i]) + "\n";
        messe += "+" + Mostrata(dopo[i], prima[i]) + "\n";
      }
    }
    scarica();
    k = fine + 1;
  }
  return diff;
}

}  // namespace cw
