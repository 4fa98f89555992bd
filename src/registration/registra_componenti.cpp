#include "registration/registra_componenti.h"

#include "base/ansi.h"
#include "base/errors.h"
#include "base/passi_log.h"
#include "registration/modRegistraDll.h"

namespace cw {

namespace {

// An exit code as a person reads it: a small one in decimal, one of the
// system's codes (0xC0000005) or an HRESULT in hex.
std::string TestoCodice(std::uint32_t codice) {
  return codice <= 255 ? std::to_string(codice) : EsadecimaleHresult(static_cast<std::int32_t>(codice));
}

}  // namespace

bool RegistraExe(Processi& processi, Ui& ui, const std::string& percorso, std::int32_t flag,
                 std::chrono::milliseconds limite) {
  const std::unique_ptr<ProgrammaAvviato> server =
      processi.Avvia(percorso + (flag == 0 ? " /RegServer" : " /UnregServer"), kFinestraNascosta);
  const EsitoAttesa esito = server->Attendi(limite);
  const std::optional<std::uint32_t> codice = esito == EsitoAttesa::Finito ? server->CodiceUscita() : std::nullopt;
  if (esito == EsitoAttesa::Fallita) {
    // Whoever watched it is gone (the agent under Wine): the box of a worker that failed.
    server->Termina();
    ui.MsgBox("Registrazione fallita per errore di '" + percorso + "'.", kStileCritico, "Registrazione fallita!");
    return false;
  }
  if (!codice) {
    // Ended before the box: a server left running could still write half
    // of its registration while the user reads that it failed.
    server->Termina();
    ui.MsgBox("Registrazione fallita per time-out da '" + percorso + "': il server non ha finito entro " +
                  std::to_string(limite.count()) + " ms ed è stato terminato.",
              kStileCritico, "Registrazione fallita!");
    return false;
  }
  if (*codice == 0) return true;
  ui.MsgBox(
      "Registrazione fallita: il server '" + percorso + "' è terminato con il codice " + TestoCodice(*codice) + ".",
      kStileCritico, "Registrazione fallita!");
  return false;
}

RiepilogoRegistrazione RegistraComponenti(const CatalogoComponenti& catalogo, Ui& ui, RegistratoreDll* registratore,
                                          Processi* processi, bool registra, std::chrono::milliseconds limiteExe) {
  const std::int32_t flag = registra ? 0 : 1;
  const std::string prefisso = registra ? "Registrazione componente " : "Rimozione componente ";
  RiepilogoRegistrazione esito;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    const std::string nome = MaiuscoloUtf8(catalogo(riga, kFileOutput));
    const std::string passo = prefisso + nome + " in corso...";
    AnnunciaPasso(ui, passo);
    const std::string& tipo = catalogo(riga, kTipo);
    bool riuscita = true, componente = true;
    if (tipo == "dll" || tipo == "dll-skipcompile") {
      if (!registratore) SollevaErrore(kChiamataNonValida, "nessun servizio di registrazione");
      riuscita = registratore->RegistraDll(catalogo.FileOutputCompleto(riga), flag);
    } else if (tipo == "exe" || tipo == "exe-skipcompile") {
      if (!processi) SollevaErrore(kChiamataNonValida, "nessun servizio dei processi");
      riuscita = RegistraExe(*processi, ui, catalogo.FileOutputCompleto(riga), flag, limiteExe);
    } else {
      componente = false;
    }
    if (!riuscita) esito.fallite.push_back(nome);
    if (riuscita && componente) ++esito.riuscite;
    ConcludiPasso(ui, passo + (riuscita ? " OK!" : " ERRORE!"));
  }
  return esito;
}

}  // namespace cw
