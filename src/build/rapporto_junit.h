#pragma once
// The full run's compile results as a JUnit XML report, one test case per
// catalogue row in build order, for CI servers that read that format.

#include <string>
#include <vector>

namespace cw {

struct EsitoCompilazione {
  enum class Stato { Compilato, Fallito, NonCompilato, Marcatore };
  Stato stato = Stato::NonCompilato;
  std::string cartella;      // UTF-8, the row's folder
  std::string fileProgetto;  // UTF-8
  double secondi = 0;
  std::string rapporto;      // UTF-8, the error file's report for a failed row
};

// The whole document, UTF-8. Texts are escaped, and characters XML 1.0
// cannot hold are left out, so any report gives a well-formed file.
std::string RapportoJUnit(const std::vector<EsitoCompilazione>& righe);

}  // namespace cw
