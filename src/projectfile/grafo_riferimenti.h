#pragma once
// The suite's reference graph: which rows of the catalogue each row needs
// built first, read from the "Reference=" and "Object=" lines of its project
// file. A referenced file is a row's when its Windows path is that row's
// output as the compile writes it: the catalogue's output folder (the
// "/outdir" of the command line, which overrides "Path32=") with the
// project's "ExeName32=" (quotes stripped), compared as Windows compares
// names, ignoring letter case. A reference to another project file
// ("Reference=*\A...", as a project group writes it) is that project's row.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "projectfile/riferimenti_progetto.h"

namespace cw {

// A row that needs a row the catalogue puts after it: the sequential run
// builds it against the file the previous run left.
struct RigaSuccessiva {
  int riga = 0;
  int richiesta = 0;
  bool operator==(const RigaSuccessiva&) const = default;
};

struct GrafoRiferimenti {
  // For each row (LBound() is index 0) the rows it needs, ascending, each
  // once; a row that references its own output needs itself.
  std::vector<std::vector<int>> richieste;
  // Every edge to a later row, in catalogue order of riga, then of richiesta.
  std::vector<RigaSuccessiva> successive;
  // Each set of rows that need one another (a row that needs itself too),
  // its rows ascending, the sets by their first row: no order builds them.
  std::vector<std::vector<int>> cicli;

  int Archi() const;
};

// The graph from each row's references, already read (one per row).
GrafoRiferimenti CostruisciGrafo(const CatalogoComponenti& catalogo, const std::vector<RiferimentiProgetto>& progetti);

// Reads every row's project file through fso (a missing or unreadable one
// raises its run-time error) and builds the graph.
GrafoRiferimenti LeggiGrafoRiferimenti(FileSystem& fso, const CatalogoComponenti& catalogo);

// For each row, the heaviest path from it through the rows that need it,
// transitively, its own weight included: how much of the run still hangs on
// it once it starts, which a scheduler starts first. pesi: one per row;
// empty gives every row 1, so the largest value is the longest chain of rows.
// Empty when the graph has a cycle.
std::vector<double> PercorsoRimanente(const GrafoRiferimenti& grafo, const std::vector<double>& pesi = {});

// The first row of ordine (rows in the order they were built) that came
// before a row it needs, with that row; none when ordine respects the graph.
// A needed row missing from ordine counts as built before (a resumed run).
std::optional<RigaSuccessiva> PrimaViolazione(const GrafoRiferimenti& grafo, const std::vector<int>& ordine);

}  // namespace cw
