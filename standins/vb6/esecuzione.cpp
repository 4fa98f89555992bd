#include "esecuzione.h"

#include <cstdio>
#include <string_view>

#include "base/ansi.h"
#include "percorsi_windows.h"

namespace cw::vb6 {

int Esegui(const std::vector<std::string>& argomenti, const Unita& unita, const Componenti& componenti, bool noop,
           const std::function<void(const std::string& domanda)>& chiedi) {
  Richiesta r;
  bool make = false, out = false;
  for (size_t i = 0; i < argomenti.size(); ++i) {
    const std::string_view opzione = argomenti[i];
    const bool valore = i + 1 < argomenti.size();
    if (UgualiSenzaCasoAscii(opzione, "/make") && valore) {
      r.progetto = argomenti[++i];
      make = true;
    } else if (UgualiSenzaCasoAscii(opzione, "/outdir") && valore) {
      r.cartellaOutput = argomenti[++i];
    } else if (UgualiSenzaCasoAscii(opzione, "/out") && valore) {
      r.fileErrori = argomenti[++i];
      out = true;
    } else {
      std::fprintf(stderr, "standin-vb6: argomento non riconosciuto: %s\n", argomenti[i].c_str());
      return 2;
    }
  }
  if (!make || !out) {
    std::fprintf(stderr, "uso: VB6.EXE /make progetto.vbp [/outdir cartella] /out file\n");
    return 2;
  }

  Resoconto esito;
  if (noop) {
    esito = {true, {RigaCompletata(r.progetto)}};
  } else {
    if (r.cartellaOutput.empty()) r.cartellaOutput = CartellaDi(r.progetto);
    esito = Compila(unita, r, componenti);
    if (esito.domanda) {
      if (chiedi) chiedi(*esito.domanda);
      esito.righe = {"Impossibile proseguire dopo la domanda: " + *esito.domanda, RigaNonCompletata(r.progetto)};
    }
  }
  if (!AccodaResoconto(unita, r.fileErrori, esito.righe)) {
    std::fprintf(stderr, "standin-vb6: impossibile scrivere '%s'\n", r.fileErrori.c_str());
    return 1;
  }
  return 0;
}

}  // namespace cw::vb6
