#include "commands/anteprima.h"

#include "base/errors.h"
#include "commands/controlli.h"
#include "commands/verifica_campi.h"
#include "commands/verifica_file.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/riscrivi_file.h"
#include "projectfile/versione.h"
#include "tools/diff_unificato.h"

namespace cw {
namespace {

// The files and the rule of one command, and what the command itself checks
// before its first row.
struct Riscrittura {
  std::vector<std::string> file;
  RegolaRiga regola;
  FileCoinvolti coinvolti;
};

std::string T(const Contesto& ctx, Campo campo) { return ctx.campi.Testo(campo); }

Riscrittura RiscritturaDi(Contesto& ctx, ComandoAnteprima comando) {
  const CatalogoComponenti& cat = ctx.catalogo;
  switch (comando) {
    case ComandoAnteprima::Compatibilita: {
      const PassaggioProgetti p = PassaggioCompatibilita(ModoCompatibilitaScelto(ctx.campi));
      return {FilePassaggio(cat, p), p.regola, {.backup = true, .compatibilita = true}};
    }
    case ComandoAnteprima::Versione: {
      const PassaggioProgetti p =
          PassaggioVersione(T(ctx, Campo::txtVersionePrincipale), T(ctx, Campo::txtVersioneSecondario),
                            T(ctx, Campo::txtVersioneRevisione));
      return {FilePassaggio(cat, p), p.regola, {.backup = true, .progetti = true}};
    }
    case ComandoAnteprima::Proprieta: {
      const PassaggioProgetti p = PassaggioProprieta(T(ctx, Campo::txtCommenti), T(ctx, Campo::txtCopyRight),
                                                     T(ctx, Campo::txtNomeProdotto), T(ctx, Campo::txtNomeSocieta));
      return {FilePassaggio(cat, p), p.regola, {.progetti = true}};
    }
    case ComandoAnteprima::Guid: {
      // "Sostituisci" with an empty field only backs up: nothing to show.
      const std::string vecchio = T(ctx, Campo::txtGuidOld), nuovo = T(ctx, Campo::txtGuidNew);
      const bool guid = !vecchio.empty() && !nuovo.empty();
      Riscrittura r{{}, RegolaGuid(vecchio, nuovo), {.backup = true, .progetti = guid, .form = guid}};
      if (guid) r.file = FileSostituzioneGuid(ctx.fso, cat);
      return r;
    }
  }
  SollevaErrore(kChiamataNonValida);
}

void Mostra(Contesto& ctx, const std::string& testo) {
  if (ctx.mostraAnteprima) ctx.mostraAnteprima(testo);
}

template <ComandoAnteprima C>
Esito Gestisci(Contesto& ctx) {
  Anteprima a;
  const Esito esito = CalcolaAnteprima(ctx, C, a);
  if (esito == Esito::Completato) Mostra(ctx, a.diff + RiepilogoAnteprima(a) + "\n");
  return esito;
}

struct Sezione {
  const char* controllo;  // the button, whose caption heads the section
  ComandoAnteprima comando;
  Gestore gestore;
};

constexpr Sezione kSezioni[] = {
    {"cmdBackupCompatibilita", ComandoAnteprima::Compatibilita, &Gestisci<ComandoAnteprima::Compatibilita>},
    {"cmdImpostaVersione", ComandoAnteprima::Versione, &Gestisci<ComandoAnteprima::Versione>},
    {"cmdApplica", ComandoAnteprima::Proprieta, &Gestisci<ComandoAnteprima::Proprieta>},
    {"cmdChangeGuid", ComandoAnteprima::Guid, &Gestisci<ComandoAnteprima::Guid>},
};

bool Compilati(const Contesto& ctx, ComandoAnteprima comando) {
  auto uno = [&](std::initializer_list<Campo> campi) {
    for (Campo c : campi)
      if (!T(ctx, c).empty()) return true;
    return false;
  };
  switch (comando) {
    case ComandoAnteprima::Compatibilita: return true;  // one option is always selected
    case ComandoAnteprima::Versione:
      return uno({Campo::txtVersionePrincipale, Campo::txtVersioneSecondario, Campo::txtVersioneRevisione});
    case ComandoAnteprima::Proprieta:
      return uno({Campo::txtCommenti, Campo::txtCopyRight, Campo::txtNomeProdotto, Campo::txtNomeSocieta});
    case ComandoAnteprima::Guid: return !T(ctx, Campo::txtGuidOld).empty() && !T(ctx, Campo::txtGuidNew).empty();
  }
  return false;
}

}  // namespace

std::string RiepilogoAnteprima(const Anteprima& a) {
  return "File da modificare: " + std::to_string(a.file) + ", righe da modificare: " + std::to_string(a.righe);
}

Esito CalcolaAnteprima(Contesto& ctx, ComandoAnteprima comando, Anteprima& anteprima) {
  if (comando == ComandoAnteprima::Versione) {
    const char* messaggio =
        VersioneNonValida(T(ctx, Campo::txtVersionePrincipale), T(ctx, Campo::txtVersioneSecondario),
                          T(ctx, Campo::txtVersioneRevisione), ctx.campi.ValoreIncrementoAutomatico() == 1);
    if (messaggio) {
      ctx.ui.MsgBox(messaggio, kStileEsclamativo, kTitoloApplicazione);
      return Esito::Rifiutato;
    }
  }
  if (comando == ComandoAnteprima::Proprieta &&
      !CampiInAnsi(ctx, {Campo::txtCommenti, Campo::txtCopyRight, Campo::txtNomeProdotto, Campo::txtNomeSocieta}))
    return Esito::Rifiutato;
  if (comando == ComandoAnteprima::Guid && Compilati(ctx, comando) &&
      !CampiInAnsi(ctx, {Campo::txtGuidOld, Campo::txtGuidNew}))
    return Esito::Rifiutato;
  const Riscrittura r = RiscritturaDi(ctx, comando);
  // Nothing is written: a read-only file is previewed like any other.
  if (!VerificaCopie(ctx)) return Esito::Rifiutato;
  for (const std::string& file : r.file) {
    const RigheRiscrittura righe = SimulaRiscrittura(ctx.fso, file, r.regola);
    const DiffFile d = DiffUnificato(file, righe.prima, righe.dopo);
    if (d.righeCambiate == 0) continue;
    anteprima.diff += d.testo;
    ++anteprima.file;
    anteprima.righe += d.righeCambiate;
  }
  return Esito::Completato;
}

Gestore GestoreAnteprima(const std::string& controllo) {
  for (const Sezione& s : kSezioni)
    if (controllo == s.controllo) return s.gestore;
  return nullptr;
}

Esito mnuAnteprimaModifiche_Click(Contesto& ctx) {
  std::string testo;
  for (const Sezione& s : kSezioni) {
    if (!Compilati(ctx, s.comando)) continue;
    Anteprima a;
    if (const Esito e = CalcolaAnteprima(ctx, s.comando, a); e != Esito::Completato) return e;
    testo += "=== " + TestoControllo(s.controllo) + " ===\n" + a.diff + RiepilogoAnteprima(a) + "\n\n";
  }
  Mostra(ctx, testo);
  return Esito::Completato;
}

}  // namespace cw
