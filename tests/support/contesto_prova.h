#pragma once
// The one way tests build a Contesto: the four services every command uses,
// and whichever optional ones the test needs, named.

#include <functional>
#include <string>

#include "commands/contesto.h"
#include "support/sistema_prova.h"

namespace cw::test {

struct Facoltativi {
  Processi* processi = nullptr;
  RegistratoreDll* registratore = nullptr;
  Keyboard* tastiera = nullptr;
  std::function<std::string()> fileIni = nullptr;
  std::function<void(int ms)> attendi = nullptr;
  std::function<void(const std::string& fileErrori)> mostraFileErrori = nullptr;
};

inline Contesto ContestoDiProva(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Campi& campi,
                                Facoltativi f = {}) {
  return Contesto{.fso = fso,
                  .catalogo = catalogo,
                  .ui = ui,
                  .campi = campi,
                  .sistema = SistemaDiProva(),
                  .processi = f.processi,
                  .registratore = f.registratore,
                  .tastiera = f.tastiera,
                  .fileIni = std::move(f.fileIni),
                  .attendi = std::move(f.attendi),
                  .mostraFileErrori = std::move(f.mostraFileErrori)};
}

}  // namespace cw::test
