#include "commands/anteprima.h"
#include "commands/comandi.h"

namespace cw {

// One entry per command whose routines are built; the window connects these
// and leaves every other control unconnected.
const std::vector<VoceComando>& TabellaComandi() {
  static const std::vector<VoceComando> kTabella = {
      {"cmdBackup", &cmdBackup_Click, true, "backup"},
      {"cmdBackupCompatibilita", &cmdBackupCompatibilita_Click, true, "compatibilita", {.compatibilita = true}},
      {"cmdImpostaVersione", &cmdImpostaVersione_Click, true, "versione", {.versione = true}},
      {"cmdApplica", &cmdApplica_Click, true, "proprieta", {.proprieta = true}},
      {"cmdChangeGuid", &cmdChangeGuid_Click, true, "guid", {.guid = true}},
      {"cmdTutto", &cmdTutto_Click, true, "tutto", {.compatibilita = true, .versione = true}},
      {"cmdRegistra", &cmdRegistra_Click, true, "registra"},
      {"cmdRimuovi", &cmdRimuovi_Click, true, "rimuovi"},
      {"mnuGeneraVbg", &mnuGeneraVbg_Click, true, "vbg"},
      {"mnuVbBuild", &mnuVbBuild_Click, false},
      {"mnuIndirizziBaseDll", &mnuIndirizziBaseDll_Click, false, "indirizzi"},
      {"mnuGrafoRiferimenti", &mnuGrafoRiferimenti_Click, false, "grafo"},
      {"mnuRipristina", &mnuRipristina_Click, true, "ripristina"},
      // indirizzi --sovrapposizioni, indirizzi --applica, tutto --riprendi.
      {"mnuSovrapposizioniDll", &mnuSovrapposizioniDll_Click, false},
      {"mnuApplicaIndirizziDll", &mnuApplicaIndirizziDll_Click},
      {"mnuRiprendiCompilazione", &mnuRiprendiCompilazione_Click, true, nullptr, {.versione = true}},
      {"mnuAnteprimaModifiche",
       &mnuAnteprimaModifiche_Click,
       false,
       nullptr,
       {.compatibilita = true, .versione = true, .proprieta = true, .guid = true}},
  };
  return kTabella;
}

}  // namespace cw
