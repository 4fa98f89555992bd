// "Grafo dei riferimenti" of the menu "Strumenti" (batch "grafo"): which rows
// each row needs built first, from the project files' references.

#include <string>
#include <vector>

#include "base/ansi.h"
#include "base/passi_log.h"
#include "commands/comandi.h"
#include "commands/verifica_file.h"
#include "projectfile/grafo_riferimenti.h"

namespace cw {
namespace {

std::string NomeRiga(const CatalogoComponenti& catalogo, int riga) {
  return std::to_string(riga) + ") " + MaiuscoloUtf8(catalogo(riga, kFileProgetto));
}

// Graphviz's quoted string: only '"' and '\' need escaping.
std::string Virgolettato(const std::string& testo) {
  std::string out = "\"";
  for (char c : testo) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

Esito Grafo(Contesto& ctx, bool dot) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  const CatalogoComponenti& c = ctx.catalogo;
  const GrafoRiferimenti g = LeggiGrafoRiferimenti(ctx.fso, c);
  ctx.ui.LogClear();
  if (dot) {
    // An edge points from the row to the row it needs; one to a later row is red.
    AnnunciaPasso(ctx.ui, "digraph riferimenti {");
    AnnunciaPasso(ctx.ui, "  node [shape=box];");
    for (int r = c.LBound(); r <= c.UBound(); ++r)
      AnnunciaPasso(ctx.ui, "  r" + std::to_string(r) + " [label=" + Virgolettato(NomeRiga(c, r)) + "];");
    for (int r = c.LBound(); r <= c.UBound(); ++r)
      for (int u : g.richieste[static_cast<size_t>(r)])
        AnnunciaPasso(ctx.ui,
                      "  r" + std::to_string(r) + " -> r" + std::to_string(u) + (u > r ? " [color=red]" : "") + ";");
    AnnunciaPasso(ctx.ui, "}");
  } else {
    for (int r = c.LBound(); r <= c.UBound(); ++r) {
      std::string riga = NomeRiga(c, r) + ":";
      for (int u : g.richieste[static_cast<size_t>(r)]) riga += " " + std::to_string(u);
      AnnunciaPasso(ctx.ui, riga);
    }
  }
  if (!g.successive.empty()) {
    std::string testo =
        "Riferimenti a progetti compilati dopo (la compilazione in ordine usa il file della volta precedente):";
    for (const RigaSuccessiva& s : g.successive)
      testo += "\n" + NomeRiga(c, s.riga) + " usa " + NomeRiga(c, s.richiesta);
    ctx.ui.MsgBox(testo, kStileEsclamativo, kTitoloApplicazione);
  }
  if (!g.cicli.empty()) {
    std::string testo = "Riferimenti circolari: nessun ordine di compilazione li soddisfa:";
    for (const std::vector<int>& ciclo : g.cicli) {
      testo += "\n";
      for (size_t k = 0; k < ciclo.size(); ++k) testo += (k ? ", " : "") + NomeRiga(c, ciclo[k]);
    }
    ctx.ui.MsgBox(testo, kStileEsclamativo, kTitoloApplicazione);
    return Esito::Rifiutato;
  }
  return Esito::Completato;
}

}  // namespace

Esito mnuGrafoRiferimenti_Click(Contesto& ctx) { return Grafo(ctx, false); }
Esito GrafoRiferimentiDot(Contesto& ctx) { return Grafo(ctx, true); }

}  // namespace cw
