#pragma once
// The full run's compile results as a JUnit XML report, one test case per
// catalogue row in build order, for CI servers that read that format.

#include <filesystem>
#include <string>
#include <vector>

#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/file_esterni.h"

namespace cw {

struct EsitoCompilazione {
  enum class Stato { Compilato, Fallito, NonCompilato, Marcatore };
  Stato stato = Stato::NonCompilato;
  std::string cartella;      // UTF-8, the row's folder
  std::string fileProgetto;  // UTF-8
  double secondi = 0;
  std::string rapporto;  // UTF-8, the error file's report for a failed row
};

// The whole document, UTF-8. Texts are escaped, and characters XML 1.0
// cannot hold are left out, so any report gives a well-formed file.
std::string RapportoJUnit(const std::vector<EsitoCompilazione>& righe);

// Why the report must not go to the host file, said before the run: it lies
// inside one of cartelle (the folders of the tool's drives, where it could
// replace a file of the suite), or it names something that is not a plain
// file (a folder, a device). Links are followed. "" when it may go there.
std::string RapportoRifiutato(const std::filesystem::path& file, const std::vector<std::filesystem::path>& cartelle);

// Writes the report to the host file through esterni, whole: the file is
// either what it was or the whole report (through a link, the file it leads
// to). "" when written; otherwise the reason, in Italian, and no temporary
// file is left.
std::string ScriviRapportoJUnit(FileEsterni& esterni, const std::filesystem::path& file, const std::string& xml);

// One entry per catalogue row from a compile's builds: a skip marker is
// Marcatore, a row built is Compilato or, for rigaFallita, Fallito with its
// report; every other row (after the failure, or before the row a resumed
// compile started at) is NonCompilato.
std::vector<EsitoCompilazione> EsitiCompilazione(const CatalogoComponenti& catalogo,
                                                 const std::vector<RigaCompilata>& compilate, int rigaFallita);

}  // namespace cw
