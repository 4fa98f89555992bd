#pragma once
// "Genera .vbg": the project group file that lists the whole suite, with the
// main project as the start-up project.

#include "catalogue/catalogo.h"
#include "platform/filesystem.h"

namespace cw {

// "C:\Progetti VB\Wexo\Wexo1.vbg".
inline constexpr const char* kFileGruppo = "C:\\Progetti VB\\Wexo\\Wexo1.vbg";
// The row whose project file is exactly this one starts the group.
inline constexpr const char* kProgettoAvvio = "Orbalis.vbp";

// Replaces the group file whole: "VBGROUP 5.0", then one "Project=" line per
// row in catalogue order, "StartUpProject=" for the start-up row, in ANSI
// with CR LF after every line. Writes no log and shows nothing; a file that
// cannot be written raises the run-time error.
void GeneraVbg(FileSystem& fso, const CatalogoComponenti& catalogo);

}  // namespace cw
