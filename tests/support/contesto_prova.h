#pragma once
// A Contesto over the given services, every optional one left empty.

#include "commands/contesto.h"

namespace cw::test {

inline Contesto ContestoDiProva(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Campi& campi) {
  return Contesto{fso, catalogo, ui, campi, nullptr, nullptr, nullptr, {}, {}, "Notepad.exe", {}};
}

}  // namespace cw::test
