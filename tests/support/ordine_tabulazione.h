#pragma once
// Where Tab goes in both windows, from the log on: reading order, frame by
// frame, the top row of frames left to right, then the bottom row, then the
// log; the option group at its selected button. Written out by hand, not
// taken from the code's table, so that a wrong table shows.

#include <string>
#include <vector>

namespace cw::test {

inline const std::vector<std::string>& OrdineTabulazioneAtteso() {
  static const std::vector<std::string> ordine = {"optTipoCompatibilitaBinaria",
                                                  "cmdBackup",
                                                  "cmdBackupCompatibilita",
                                                  "cmdTutto",
                                                  "cmdRegistra",
                                                  "cmdRimuovi",
                                                  "txtCommenti",
                                                  "txtCopyRight",
                                                  "txtNomeProdotto",
                                                  "txtNomeSocieta",
                                                  "cmdApplica",
                                                  "txtVersionePrincipale",
                                                  "txtVersioneSecondario",
                                                  "txtVersioneRevisione",
                                                  "chkIncrementoAutomatico",
                                                  "cmdImpostaVersione",
                                                  "txtGuidOld",
                                                  "txtGuidNew",
                                                  "cmdChangeGuid",
                                                  "lstInformazioni"};
  return ordine;
}

}  // namespace cw::test
