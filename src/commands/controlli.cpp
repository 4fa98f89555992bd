#include "commands/controlli.h"

#include <algorithm>
#include <string_view>

namespace cw {

const std::vector<DescrizioneControllo>& ControlliFinestra() {
  using T = TipoControllo;
  static const std::vector<DescrizioneControllo> kControlli = {
      {"lstInformazioni", T::Lista, "", "", 120, 3960, 10095, 2010, 40},
      {"frameProprietaProgetto", T::Cornice, "Proprità progetto", "", 6960, 0, 3255, 3855, 30},
      {"cmdApplica", T::Pulsante, "Applica", "frameProprietaProgetto", 1080, 3360, 1095, 375, 39},
      // The form's one more stored flag (false) on this and cmdChangeGuid is
      // not acted on: the keyboard reaches every control (docs/window.md).
      {"txtNomeSocieta", T::Testo, "", "frameProprietaProgetto", 120, 2760, 2895, 315, 38},
      {"txtNomeProdotto", T::Testo, "", "frameProprietaProgetto", 120, 2040, 2895, 315, 36},
      {"txtCopyRight", T::Testo, "", "frameProprietaProgetto", 120, 1200, 2895, 315, 34},
      {"txtCommenti", T::Testo, "", "frameProprietaProgetto", 120, 480, 2895, 315, 32},
      {"lblNomeSocietà", T::Etichetta, "Nome società", "frameProprietaProgetto", 120, 2520, 2895, 255, 37},
      {"lblNomeProdotto", T::Etichetta, "Nome prodotto", "frameProprietaProgetto", 120, 1800, 2895, 255, 35},
      {"lblCopyRight", T::Etichetta, "Copyright", "frameProprietaProgetto", 120, 960, 2895, 255, 33},
      {"lblCommenti", T::Etichetta, "Commenti", "frameProprietaProgetto", 120, 240, 2895, 255, 31},
      {"FrameGuid", T::Cornice, "GUID", "", 4560, 1920, 2295, 1935, 23},
      {"Picture5", T::Contenitore, "", "FrameGuid", 600, 1440, 1215, 375, 28},
      {"cmdChangeGuid", T::Pulsante, "Sostituisci", "Picture5", 0, 0, 1095, 375, 29},
      {"txtGuidOld", T::Testo, "", "FrameGuid", 120, 480, 2055, 315, 25},
      {"txtGuidNew", T::Testo, "", "FrameGuid", 120, 1080, 2055, 315, 24},
      {"lblGuidOld", T::Etichetta, "Vecchia guid", "FrameGuid", 120, 240, 2055, 255, 27},
      {"lblGuidNew", T::Etichetta, "Nuova guid", "FrameGuid", 120, 840, 2055, 255, 26},
      {"frameVersione", T::Cornice, "Imposta versione progetto", "", 120, 2280, 4335, 1575, 10},
      {"txtVersioneRevisione", T::Testo, "", "frameVersione", 2280, 600, 855, 315, 11, 4},
      {"txtVersionePrincipale", T::Testo, "", "frameVersione", 120, 600, 855, 315, 13, 4},
      {"txtVersioneSecondario", T::Testo, "", "frameVersione", 1200, 600, 855, 315, 12, 4},
      {"Picture4", T::Contenitore, "", "frameVersione", 120, 960, 4095, 495, 20},
      {"chkIncrementoAutomatico", T::Casella, "Incremento automatico", "Picture4", 0, 120, 1935, 375, 22},
      {"cmdImpostaVersione", T::Pulsante, "Backup e versione", "Picture4", 2400, 0, 1695, 495, 21},
      {"lblVersionePrincipale", T::Etichetta, "Principale:", "frameVersione", 120, 360, 735, 255, 16},
      {"lblVersioneSecondario", T::Etichetta, "Secondario:", "frameVersione", 1200, 360, 855, 255, 15},
      {"lblVersioneRevisione", T::Etichetta, "Revisione:", "frameVersione", 2280, 360, 975, 255, 14},
      {"frameTipoCompatibilita", T::Cornice, "Tipo compatibilità progetto", "", 120, 0, 4335, 2175, 1},
      {"Picture2", T::Contenitore, "", "frameTipoCompatibilita", 2400, 240, 1815, 1695, 6},
      {"cmdTutto", T::Pulsante, "Backup, compatibilità e compilazione", "Picture2", 0, 1200, 1695, 495, 9},
      {"cmdBackupCompatibilita", T::Pulsante, "Backup e compatibilità", "Picture2", 0, 600, 1695, 495, 8},
      {"cmdBackup", T::Pulsante, "Solo backup", "Picture2", 0, 0, 1695, 495, 7},
      {"Picture1", T::Contenitore, "", "frameTipoCompatibilita", 240, 360, 1815, 1455, 2},
      {"optTipoCompatibilitaBinaria", T::Opzione, "Binaria", "Picture1", 0, 960, 1095, 255, 5},
      {"optTipoCompatibilitaProgetto", T::Opzione, "Progetto", "Picture1", 0, 480, 1095, 255, 4},
      {"optTipoCompatibilitaNessuna", T::Opzione, "Nessuna", "Picture1", 0, 0, 1095, 255, 3},
      {"frameGruppo3", T::Cornice, "Registra/rimuovi componenti", "", 4560, 0, 2295, 1815, 0},
      {"Picture3", T::Contenitore, "", "frameGruppo3", 120, 360, 2055, 1335, 17},
      {"cmdRimuovi", T::Pulsante, "Rimuovi", "Picture3", 0, 720, 2055, 495, 19},
      {"cmdRegistra", T::Pulsante, "Registra", "Picture3", 0, 0, 2055, 495, 18},
  };
  return kControlli;
}

const std::vector<VoceMenu>& MenuStrumenti() {
  static const std::vector<VoceMenu> kVoci = {
      {"mnuGeneraVbg", "Genera .vbg"},
      {"mnuVbBuild", "Vb-Build"},
      {"mnuSeparatore", nullptr},
      {"mnuIndirizziBaseDll", "Indirizzi di base DLL"},
      {"mnuSovrapposizioniDll", "Sovrapposizioni indirizzi DLL"},
      {"mnuApplicaIndirizziDll", "Applica indirizzi proposti"},
      {"mnuGrafoRiferimenti", "Grafo dei riferimenti"},
      {"mnuRipristina", "Ripristina file interrotti"},
      {"mnuSeparatore2", nullptr},
      {"mnuAnteprimaModifiche", "Anteprima modifiche"},
      {"mnuRiprendiCompilazione", "Riprendi compilazione"},
  };
  return kVoci;
}

bool PrendeFuoco(TipoControllo tipo) {
  return tipo != TipoControllo::Cornice && tipo != TipoControllo::Contenitore && tipo != TipoControllo::Etichetta;
}

namespace {

void AggiungiInOrdine(std::string_view contenitore, std::vector<std::string>& ordine) {
  std::vector<const DescrizioneControllo*> figli;
  for (const DescrizioneControllo& d : ControlliFinestra())
    if (d.contenitore == contenitore && d.tipo != TipoControllo::Etichetta) figli.push_back(&d);
  std::sort(figli.begin(), figli.end(),
            [](const auto* a, const auto* b) { return a->top != b->top ? a->top < b->top : a->left < b->left; });
  std::vector<std::vector<const DescrizioneControllo*>> righe;
  for (const DescrizioneControllo* d : figli) {
    if (righe.empty() || d->top >= righe.back().front()->top + righe.back().front()->height / 2) righe.emplace_back();
    righe.back().push_back(d);
  }
  for (auto& riga : righe) {
    std::stable_sort(riga.begin(), riga.end(), [](const auto* a, const auto* b) { return a->left < b->left; });
    for (const DescrizioneControllo* d : riga) {
      if (PrendeFuoco(d->tipo))
        ordine.emplace_back(d->nome);
      else
        AggiungiInOrdine(d->nome, ordine);
    }
  }
}

}  // namespace

std::vector<std::string> OrdineTabulazione() {
  std::vector<std::string> ordine;
  AggiungiInOrdine("", ordine);
  return ordine;
}

std::string TestoControllo(std::string_view nome) {
  for (const DescrizioneControllo& d : ControlliFinestra())
    if (d.nome == nome) return d.testo;
  for (const VoceMenu& v : MenuStrumenti())
    if (v.nome == nome && v.testo) return v.testo;
  return {};
}

std::string EtichettaCampo(Campo campo) {
  const std::string_view etichetta = DescrizioneDi(campo).etichetta;
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    if (d.nome != etichetta) continue;
    std::string testo = d.testo;
    if (testo.ends_with(':')) testo.pop_back();
    return testo;
  }
  return DescrizioneDi(campo).controllo;
}

}  // namespace cw
