// The base-address overlap check of the menu "Strumenti", and the command
// that writes its proposed addresses.

#include <string>

#include "base/ansi.h"
#include "base/errors.h"
#include "base/passi_log.h"
#include "build/backup.h"
#include "commands/comandi.h"
#include "commands/cornice.h"
#include "commands/verifica_file.h"
#include "projectfile/riscrivi_file.h"
#include "tools/indirizzi_base_dll.h"
#include "tools/verifica_indirizzi.h"

namespace cw {
namespace {

// Whether a project file's line is its "Type=" line. Taken by reference: the
// by-value line of a rule, compared in place, made GCC 12's x86-64 inliner
// warn of an uninitialized temporary.
bool InizioTipo(const std::string& riga) {
  constexpr std::string_view kTipo = "Type=";
  return riga.size() >= kTipo.size() && std::string_view(riga).substr(0, kTipo.size()) == kTipo;
}

// The "DllBaseAddress=" line set to the address; a file that has none gets
// it right after its "Type=" line, the first of the settings the
// development environment writes.
RegolaRiga RegolaIndirizzoBase(const std::string& valore, bool haRiga) {
  const std::string chiave = kChiaveIndirizzoBase;
  if (haRiga) return RegolaPrefisso(chiave, valore);
  return [chiave, valore, messa = false](std::string riga) mutable -> std::string {
    if (messa || !InizioTipo(riga)) return riga;
    messa = true;
    return riga + "\r\n" + chiave + valore;  // written as two lines
  };
}

// Whether the file has the line a missing key goes after.
bool HaRigaTipo(FileSystem& fso, const std::string& progetto) {
  const auto file = fso.OpenTextFile(progetto, IOMode::ForReading);
  bool trovata = false;
  while (!trovata && !file->AtEndOfStream()) trovata = InizioTipo(file->ReadLine());
  file->Close();
  return trovata;
}

}  // namespace

Esito mnuSovrapposizioniDll_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  IndirizziBaseDll(ctx.fso, ctx.catalogo, ctx.ui);
  const std::vector<DllDaVerificare> dll = DllDaVerificareDelCatalogo(ctx.fso, ctx.catalogo);
  const AnalisiIndirizzi analisi = AnalizzaIndirizzi(dll);
  for (const std::string& riga : RigheSovrapposizioni(dll, analisi)) AnnunciaPasso(ctx.ui, riga);
  return analisi.sovrapposizioni.empty() ? Esito::Completato : Esito::Fallito;
}

Esito mnuApplicaIndirizziDll_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {.backup = true, .progetti = true})) return Esito::Rifiutato;
  const std::vector<DllDaVerificare> dll = DllDaVerificareDelCatalogo(ctx.fso, ctx.catalogo);
  const AnalisiIndirizzi analisi = AnalizzaIndirizzi(dll);
  // Half a proposal would leave overlaps behind: nothing is written.
  if (analisi.spazioEsaurito) {
    ctx.ui.MsgBox("Spazio esaurito tra " + ScriviIndirizzoVb(kPrimoIndirizzoProposto) + " e " +
                      ScriviIndirizzoVb(kFineIndirizziProposti) + ": nessun indirizzo è stato cambiato",
                  kStileEsclamativo, kTitoloApplicazione);
    return Esito::Rifiutato;
  }
  return InCornice(ctx, {kPuntatoreClessidra, true, ""}, [&] {
    if (analisi.proposta.empty()) {
      AnnunciaPasso(ctx.ui, "Nessun indirizzo da cambiare");
      return Esito::Completato;
    }
    EseguiBackup(ctx.fso, ctx.catalogo, ctx.ui);
    bool tuttiScritti = true;
    for (const NuovoIndirizzo& n : analisi.proposta) {
      const DllDaVerificare& d = dll[static_cast<size_t>(n.indice)];
      const std::string voce = "Impostazione indirizzo di base di " + MaiuscoloUtf8(d.fileProgetto) + " in corso...";
      AnnunciaPasso(ctx.ui, voce);
      const std::string progetto = ctx.catalogo.FileProgettoCompleto(d.riga);
      const bool haRiga = ValoreIndirizzoBase(ctx.fso, progetto).has_value();
      // Without a line to put the key after, the rewrite would change
      // nothing: the file is left alone, and the row says so.
      if (!haRiga && !HaRigaTipo(ctx.fso, progetto)) {
        ctx.ui.MsgBox("Indirizzo di base non scritto: nel file '" + progetto +
                          "' manca la riga \"Type=\", dopo la quale va messo; il file è rimasto com'era.",
                      kStileEsclamativo, kTitoloApplicazione);
        ConcludiPasso(ctx.ui, voce + " ERRORE!");
        tuttiScritti = false;
        continue;
      }
      RiscriviFile(ctx.fso, progetto, RegolaIndirizzoBase(ScriviIndirizzoVb(n.indirizzo), haRiga));
      ConcludiPasso(ctx.ui, voce + " OK!");
    }
    return tuttiScritti ? Esito::Completato : Esito::Fallito;
  });
}

}  // namespace cw
