#pragma once
// One row of the catalogue as the files of its folder: the project file and
// every form, module and class file it names, plus the reference copy that
// binary compatibility compares against. The same row always gives the same
// bytes (everything that varies is drawn from a generator seeded by the row).

#include <string>
#include <vector>

#include "catalogue/catalogo.h"

namespace cw::sandbox {

struct FileGenerato {
  std::string percorso;   // below the row's folder, "\" between levels: "Form\frmRicerca.frm"
  std::string contenuto;  // bytes: Windows-1252, every line ending in CR LF
};

// The project file comes first, under the row's own FileProgetto.
std::vector<FileGenerato> GeneraProgetto(const CatalogoComponenti& catalogo, int riga);

// What kind of project a row's Tipo is: "dll…" an ActiveX DLL, "exe…" an
// ActiveX EXE, anything else a standard EXE.
enum class Genere { Dll, Server, Applicazione };
Genere GenereDi(const std::string& tipo);

}  // namespace cw::sandbox
