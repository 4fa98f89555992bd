#include "registration/registra_componenti.h"

#include "platform/ansi.h"
#include "platform/errors.h"
#include "platform/passi_log.h"

namespace cw {

void RegistraExe(Processes& processi, const std::string& percorso, std::int32_t flag) {
  processi.Shell(percorso + (flag == 0 ? " /RegServer" : " /UnregServer"), kFinestraNascosta);
}

bool RegistraComponenti(const CatalogoComponenti& catalogo, Ui& ui, RegistratoreDll* registratore, Processes* processi,
                        bool registra) {
  const std::int32_t flag = registra ? 0 : 1;
  const std::string prefisso = registra ? "Registrazione componente " : "Rimozione componente ";
  bool qualcunoFallito = false;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    const std::string passo = prefisso + MaiuscoloUtf8(catalogo(riga, kFileOutput)) + " in corso...";
    AnnunciaPasso(ui, passo);
    const std::string& tipo = catalogo(riga, kTipo);
    bool riuscita = true;
    if (tipo == "dll" || tipo == "dll-skipcompile") {
      if (!registratore) SollevaErrore(kChiamataNonValida, "nessun servizio di registrazione");
      riuscita = registratore->RegistraDll(catalogo.FileOutputCompleto(riga), flag);
    } else if (tipo == "exe" || tipo == "exe-skipcompile") {
      if (!processi) SollevaErrore(kChiamataNonValida, "nessun servizio dei processi");
      RegistraExe(*processi, catalogo.FileOutputCompleto(riga), flag);
    }
    qualcunoFallito = qualcunoFallito || !riuscita;
    ConcludiPasso(ui, passo + (riuscita ? " OK!" : " ERRORE!"));
  }
  return qualcunoFallito;
}

}  // namespace cw
