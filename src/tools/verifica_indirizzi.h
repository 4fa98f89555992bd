#pragma once
// The overlap section of the DLL base address report: each "dll" row's range
// from its project file's address and its built file's image size, the
// overlapping pairs, the rows without an address, and the proposed
// addresses.

#include <string>
#include <vector>

#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "tools/sovrapposizioni.h"

namespace cw {

// Every row whose kind is exactly "dll", in catalogue order, read through fso:
// the address as the project file declares it, the image size from the built
// file when it exists.
std::vector<DllDaVerificare> DllDaVerificareDelCatalogo(FileSystem& fso, const CatalogoComponenti& catalogo);

// The section's lines (UTF-8), for the fixed-pitch log.
std::vector<std::string> RigheSovrapposizioni(const std::vector<DllDaVerificare>& dll, const AnalisiIndirizzi& analisi);

}  // namespace cw
