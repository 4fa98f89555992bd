#include "esecuzione.h"

#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>

#include "base/ansi.h"
#include "percorsi_windows.h"

namespace cw::vb6 {

std::optional<Ordine> LeggiOrdine(const std::optional<std::string>& inizio, const std::optional<std::string>& ms,
                                  std::string& errore) {
  Ordine o;
  if (inizio) o.fileInizio = *inizio;
  if (ms && !ms->empty()) {
    long long n = 0;
    for (char c : *ms) {
      if (c < '0' || c > '9' || (n = n * 10 + (c - '0')) > 3600000) {
        errore = "CW_STANDIN_MS vuole i millisecondi della compilazione, da 0 a 3600000, trovato: " + *ms;
        return std::nullopt;
      }
    }
    o.millisecondi = static_cast<int>(n);
  }
  return o;
}

int Esegui(const std::vector<std::string>& argomenti, const Unita& unita, const Componenti& componenti, bool noop,
           const std::function<void(const std::string& domanda)>& chiedi, const Ordine& ordine) {
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
    std::this_thread::sleep_for(std::chrono::milliseconds(ordine.millisecondi));
    esito = {true, {RigaCompletata(r.progetto)}};
  } else {
    if (r.cartellaOutput.empty()) r.cartellaOutput = CartellaDi(r.progetto);
    esito = Compila(unita, r, componenti, ordine);
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
