#include "commands/comandi.h"

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include "base/errors.h"
#include "commands/versione_vista.h"
#include "platform/fine_su_segnale.h"
#include "projectfile/operazioni_progetto.h"
#include "settings/modFileIni.h"

namespace cw {

std::string Contesto::FileIni() const {
  return fileIni ? fileIni() : NomeFileIni(sistema.cartelle->CartellaEseguibile().string());
}

Compatibilita ModoCompatibilitaScelto(const Campi& campi) {
  if (campi.OpzioneSelezionata(Compatibilita::Nessuna)) return Compatibilita::Nessuna;
  if (campi.OpzioneSelezionata(Compatibilita::Progetto)) return Compatibilita::Progetto;
  return Compatibilita::Binaria;
}

namespace {

constexpr const char* kGiaInEsecuzione = "CompilaWexo è già in esecuzione su questo prefisso";

const VoceComando* Voce(Gestore gestore) {
  for (const VoceComando& voce : TabellaComandi())
    if (voce.gestore == gestore) return &voce;
  return nullptr;
}

// "CompilaWexo è già in esecuzione su questo prefisso: compilawexo-batch
// tutto, dalle 10:42", or without who when the holder wrote down nothing.
std::string GiaInEsecuzione(const BloccoPrefisso& blocco) {
  const std::optional<DetentoreBlocco> chi = blocco.Detentore();
  if (!chi) return kGiaInEsecuzione;
  const auto adesso =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
  return std::string(kGiaInEsecuzione) + ": " + DescriviDetentore(*chi, adesso.count());
}

// Lets go of the lock however the command ends.
struct Tenuta {
  BloccoPrefisso* blocco = nullptr;
  ~Tenuta() {
    if (blocco) blocco->Lascia();
  }
};

}  // namespace

void LasciaBlocco(Contesto& ctx) {
  if (ctx.blocco) ctx.blocco->Lascia();
}

Esito EseguiComando(Contesto& ctx, Gestore gestore) {
  // The fields were read from that file: with its first section hidden they
  // hold the defaults, which a command would stamp into every project.
  if (const std::string marca = MarcaUtf8Rifiutata(*ctx.sistema.profilo, ctx.FileIni()); !marca.empty()) {
    ctx.ui.MsgBox(marca, kStileEsclamativo, kTitoloApplicazione);
    return Esito::Rifiutato;
  }
  Tenuta tenuta;
  const VoceComando* voce = Voce(gestore);
  if (ctx.blocco && (!voce || voce->scrive)) {
    switch (ctx.blocco->Prendi()) {
      case PresaBlocco::Presa: break;
      case PresaBlocco::Occupata:
        ctx.ui.MsgBox(GiaInEsecuzione(*ctx.blocco), kStileEsclamativo, kTitoloApplicazione);
        return Esito::Rifiutato;
      // Never a pass: with no lock a second instance could write at once.
      case PresaBlocco::Impossibile:
        ctx.ui.MsgBox(ctx.blocco->Motivo(), kStileEsclamativo, kTitoloApplicazione);
        return Esito::Rifiutato;
    }
    tenuta.blocco = ctx.blocco;
    ctx.blocco->Annota(ctx.programma, voce ? (voce->batch ? voce->batch : voce->nome) : "?");
  }
  try {
    return gestore(ctx);
  } catch (const ErroreRuntime& e) {
    // The original ended the program here; we end only the command, so the
    // user sees in the log which row failed and can go on.
    // The command is over: the box is no reason to keep others waiting.
    ctx.ui.SetMousePointer(kPuntatorePredefinito);
    LasciaBlocco(ctx);
    ctx.ui.MsgBox(e.TestoMessaggio(), kStileCritico, kTitoloApplicazione);
    return Esito::ErroreRuntime;
  } catch (const ErroreAvvioWindows& e) {
    ctx.ui.SetMousePointer(kPuntatorePredefinito);
    LasciaBlocco(ctx);
    ctx.ui.MsgBox(e.what(), kStileCritico, kTitoloApplicazione);
    return Esito::Fallito;
  }
}

void EseguiClic(Contesto& ctx, Gestore gestore, bool& inCorso, const std::function<void(int uscita)>& chiudi) {
  if (inCorso) return;
  inCorso = true;
  struct Fine {
    bool& inCorso;
    ~Fine() { inCorso = false; }
  } fine{inCorso};
  try {
    EseguiComando(ctx, gestore);
  } catch (const FineSuSegnale& segnale) {
    // What the command waited for has been ended: the window goes too.
    chiudi(segnale.CodiceUscita());
  } catch (const std::exception& e) {
    ctx.ui.SetMousePointer(kPuntatorePredefinito);
    ctx.ui.MsgBox(e.what(), kStileCritico, kTitoloApplicazione);
  }
}

VersioneSalvata CaricaImpostazioni(Contesto& ctx) {
  // The path is formed anew for every key, the file read only once: again
  // only if the path came out different.
  std::unique_ptr<ProfiloLetto> letto;
  const auto profilo = [&]() -> const ProfiloLetto& {
    const std::string file = ctx.FileIni();
    if (!letto || letto->File() != file) letto = ctx.sistema.profilo->Leggi(file);
    return *letto;
  };
  const VersioneSalvata versione = LeggiVersioneSalvata(profilo);
  MostraVersioneSalvata(ctx.campi, versione);
  for (const DescrizioneCampo& d : kTabellaCampi)
    if (d.gruppo == GruppoCampi::Proprieta) ctx.campi.ImpostaTesto(d.campo, LeggiCampo(profilo(), d.campo));
  ctx.campi.SelezionaOpzione(kCompatibilitaPredefinita);
  return versione;
}

}  // namespace cw
