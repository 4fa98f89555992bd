#pragma once
// The project-file pass: one rewrite of every catalogue row's project file,
// each announced in the log and marked " OK!" once done. The compatibility,
// version and properties operations are this pass with their own prefix,
// row filter and rules.

#include <functional>
#include <string>
#include <vector>

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "projectfile/regole_riga.h"

namespace cw {

struct PassaggioProgetti {
  std::string prefissoLog;  // UTF-8, e.g. "Impostazione versione di "
  // Which rows the pass takes; empty takes them all. A row left out is not
  // logged and its file is not touched.
  std::function<bool(const CatalogoComponenti&, int riga)> filtro;
  RegolaRiga regola;
};

// The project files the pass rewrites, in its order.
std::vector<std::string> FilePassaggio(const CatalogoComponenti& catalogo, const PassaggioProgetti& passaggio);

// Rows LBound()..UBound() in order; the first failing file stops the pass
// with its line still ending in " in corso...".
void EseguiPassaggioProgetti(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui,
                             const PassaggioProgetti& passaggio);

}  // namespace cw
