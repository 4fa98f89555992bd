#include "tools/diff_unificato.h"

#include <algorithm>

#include "platform/ansi.h"
#include "platform/errors.h"

namespace cw {
namespace {

// "-a,b" where a is 1-based; an empty range names the line before it, as
// diff(1) does.
std::string Intervallo(size_t inizio, size_t lunghezza) {
  const size_t primo = lunghezza == 0 ? inizio : inizio + 1;
  return std::to_string(primo) + "," + std::to_string(lunghezza);
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
        diff.testo += " " + AnsiToUtf8(prima[i]) + "\n";
      } else {
        tolte += "-" + AnsiToUtf8(prima[i]) + "\n";
        messe += "+" + AnsiToUtf8(dopo[i]) + "\n";
      }
    }
    scarica();
    k = fine + 1;
  }
  return diff;
}

}  // namespace cw
