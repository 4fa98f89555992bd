#include "build/vb_build.h"

#include "base/keystrokes.h"

namespace cw {
namespace {

// The keys go where the user asked for them or nowhere.
void AssicuraFinestraAttiva(Keyboard& tastiera) {
  if (!tastiera.IsActive(kTitoloVbBuild)) tastiera.AppActivate(kTitoloVbBuild, true);
}

}  // namespace

void EseguiVbBuild(const CatalogoComponenti& catalogo, Keyboard& tastiera, Ui& ui,
                   const std::function<void(int ms)>& attendi) {
  tastiera.AppActivate(kTitoloVbBuild, true);
  ui.DoEvents();
  attendi(kAttesaIniziale);
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    // Typed literally: "(x86)" or "+" in a path must not turn into keys.
    const std::string percorso = EscapeKeystrokes(catalogo.FileProgettoCompleto(i));
    AssicuraFinestraAttiva(tastiera);
    tastiera.SendKeys(percorso, true);
    attendi(kAttesaPercorso);
    AssicuraFinestraAttiva(tastiera);
    tastiera.SendKeys("{ENTER}", true);
    ui.DoEvents();
    attendi(kAttesaDopoInvio);
  }
}

}  // namespace cw
