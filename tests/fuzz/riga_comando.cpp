// The Windows command-line splitter and joiner: splitting what the joiner
// made gives the words back, and any line splits into words that join and
// split again to the same words.
//
// Input: words separated by NUL bytes; the whole input is also taken as one
// command line.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/command_line.h"
#include "fuzz/bersagli.h"
#include "fuzz/comune.h"

namespace cw::fuzz {
namespace {

std::string Elenco(const std::vector<std::string>& parole) {
  std::string out = "[";
  for (size_t i = 0; i < parole.size(); ++i) out += (i ? ", " : "") + Mostra(parole[i]);
  return out + "]";
}

}  // namespace

int ProvaRigaComando(const std::uint8_t* dati, std::size_t n) {
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);

  std::vector<std::string> parole;
  if (n > 0) {
    size_t da = 0;
    for (;;) {
      const size_t nul = tutto.find('\0', da);
      parole.emplace_back(tutto.substr(da, nul == std::string_view::npos ? std::string_view::npos : nul - da));
      if (nul == std::string_view::npos) break;
      da = nul + 1;
    }
  }

  bool rifiutato = false;
  std::string riga;
  try {
    riga = JoinCommandLine(parole);
  } catch (const std::invalid_argument&) {
    rifiutato = true;
  }
  const bool virgolette = !parole.empty() && parole[0].find('"') != std::string::npos;
  CW_VERIFICA(rifiutato == virgolette, "program " + (parole.empty() ? std::string("none") : Mostra(parole[0])) +
                                           (rifiutato ? " refused" : " taken"));
  if (!rifiutato) {
    const auto indietro = SplitCommandLine(riga);
    CW_VERIFICA(indietro == parole, Elenco(parole) + " joined as " + Mostra(riga) + " split as " + Elenco(indietro));
  }

  // Every word on its own, after a program.
  for (size_t i = 1; i < parole.size(); ++i) {
    const std::string sola = "p " + QuoteArgument(parole[i]);
    const auto indietro = SplitCommandLine(sola);
    CW_VERIFICA(indietro.size() == 2 && indietro[1] == parole[i],
                Mostra(parole[i]) + " quoted as " + Mostra(sola) + " split as " + Elenco(indietro));
  }

  // Any bytes as a line: its words never hold a quote in the program, and
  // joining them gives a line that splits to the same words.
  const auto divise = SplitCommandLine(tutto);
  CW_VERIFICA(divise.empty() || divise[0].find('"') == std::string::npos, "program with a quote: " + Elenco(divise));
  const auto ancora = SplitCommandLine(JoinCommandLine(divise));
  CW_VERIFICA(ancora == divise, Mostra(tutto) + " split as " + Elenco(divise) + " then " + Elenco(ancora));
  return 0;
}

}  // namespace cw::fuzz
