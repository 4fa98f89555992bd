#include "build/vb_build.h"

#include <string>

#include "base/errors.h"
#include "base/keystrokes.h"
#include "base/passi_log.h"

namespace cw {
namespace {

// The keys go where the user asked for them or nowhere.
void AssicuraFinestraAttiva(Keyboard& tastiera) {
  if (!tastiera.IsActive(kTitoloVbBuild)) tastiera.AppActivate(kTitoloVbBuild, true);
}

}  // namespace

bool EseguiVbBuild(const CatalogoComponenti& catalogo, Keyboard& tastiera, Ui& ui,
                   const std::function<void(int ms)>& attendi) {
  ui.LogClear();
  for (int atteso = 0;; atteso += kIntervalloRicercaVbBuild) {
    try {
      tastiera.AppActivate(kTitoloVbBuild, true);
      break;
    } catch (const ErroreRuntime& e) {
      if (e.Numero() != kChiamataNonValida) throw;
      if (atteso >= kAttesaFinestraVbBuild) {
        const std::string testo = "Vb-Build non eseguito: nessuna finestra con il titolo \"" +
                                  std::string(kTitoloVbBuild) + "\" trovata in " +
                                  std::to_string(kAttesaFinestraVbBuild / 1000) +
                                  " secondi. Nessun progetto è stato inviato: aprire Vb-Build e riprovare.";
        AnnunciaPasso(ui, testo);
        ui.MsgBox(testo, kStileEsclamativo, kTitoloApplicazione);
        return false;
      }
    }
    ui.DoEvents();
    attendi(kIntervalloRicercaVbBuild);
  }
  ui.DoEvents();
  attendi(kAttesaIniziale);
  const int righe = catalogo.UBound() - catalogo.LBound() + 1;
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    const std::string passo = "Invio a Vb-Build del progetto " + std::to_string(i - catalogo.LBound() + 1) + " di " +
                              std::to_string(righe) + ": " + catalogo.FileProgettoCompleto(i) + " in corso...";
    AnnunciaPasso(ui, passo);
    // Typed literally: "(x86)" or "+" in a path must not turn into keys.
    const std::string percorso = EscapeKeystrokes(catalogo.FileProgettoCompleto(i));
    AssicuraFinestraAttiva(tastiera);
    tastiera.SendKeys(percorso, true);
    attendi(kAttesaPercorso);
    AssicuraFinestraAttiva(tastiera);
    tastiera.SendKeys("{ENTER}", true);
    ConcludiPasso(ui, passo + " OK!");
    ui.DoEvents();
    attendi(kAttesaDopoInvio);
  }
  AnnunciaPasso(ui, "Progetti inviati a Vb-Build: " + std::to_string(righe));
  return true;
}

}  // namespace cw
