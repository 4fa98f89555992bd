#include "commands/anteprima.h"
#include "commands/comandi.h"

namespace cw {

// One entry per command whose routines are built; the window connects these
// and leaves every other control unconnected.
const std::vector<VoceComando>& TabellaComandi() {
  static const std::vector<VoceComando> kTabella = {
      {"cmdBackup", &cmdBackup_Click},
      {"cmdBackupCompatibilita", &cmdBackupCompatibilita_Click},
      {"cmdTutto", &cmdTutto_Click},
      {"cmdImpostaVersione", &cmdImpostaVersione_Click},
      {"cmdRegistra", &cmdRegistra_Click},
      {"cmdRimuovi", &cmdRimuovi_Click},
      {"cmdChangeGuid", &cmdChangeGuid_Click},
      {"cmdApplica", &cmdApplica_Click},
      {"mnuGeneraVbg", &mnuGeneraVbg_Click},
      {"mnuVbBuild", &mnuVbBuild_Click, false},
      {"mnuIndirizziBaseDll", &mnuIndirizziBaseDll_Click, false},
      {"mnuRipristina", &mnuRipristina_Click},
      {"mnuSovrapposizioniDll", &mnuSovrapposizioniDll_Click, false},
      {"mnuApplicaIndirizziDll", &mnuApplicaIndirizziDll_Click},
      {"mnuRiprendiCompilazione", &mnuRiprendiCompilazione_Click},
      {"mnuAnteprimaModifiche", &mnuAnteprimaModifiche_Click, false},
  };
  return kTabella;
}

}  // namespace cw
