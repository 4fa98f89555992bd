#pragma once
// The form's fields in one table: for each, the control that shows it (the Qt
// widget's object name, the Win32 control's name) and the label above it, the
// settings key it is saved under, the batch mode's option that sets it and the
// value start-up gives it when its key is missing. The two windows, the batch
// mode, the commands and modFileIni all read it here: it lives with the
// settings because modFileIni writes the version keys for the full build run,
// below the commands.

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace cw {

inline constexpr const char* kSezioneVersione = "Versione";

enum class Campo {
  txtVersionePrincipale,
  txtVersioneSecondario,
  txtVersioneRevisione,
  txtCommenti,
  txtCopyRight,
  txtNomeProdotto,
  txtNomeSocieta,
  txtGuidOld,
  txtGuidNew,
};

// The frame a field sits in, and so the commands that read it.
enum class GruppoCampi { Versione, Proprieta, Guid };

struct DescrizioneCampo {
  Campo campo;
  GruppoCampi gruppo;
  const char* controllo;    // "txtVersionePrincipale"
  const char* etichetta;    // the label above it, "lblVersionePrincipale"
  const char* sezione;      // of the settings file; "" for a field that is not saved
  const char* chiave;       // "Principale"; "" for a field that is not saved
  const char* opzione;      // of the batch mode, "--principale"; "" when the command's words give it
  const char* predefinito;  // start-up's value when the key is missing
};

// In the order of Campo, which is the order the keys are read and written in.
inline constexpr DescrizioneCampo kTabellaCampi[] = {
    {Campo::txtVersionePrincipale, GruppoCampi::Versione, "txtVersionePrincipale", "lblVersionePrincipale",
     kSezioneVersione, "Principale", "--principale", "1"},
    {Campo::txtVersioneSecondario, GruppoCampi::Versione, "txtVersioneSecondario", "lblVersioneSecondario",
     kSezioneVersione, "Secondario", "--secondario", "0"},
    {Campo::txtVersioneRevisione, GruppoCampi::Versione, "txtVersioneRevisione", "lblVersioneRevisione",
     kSezioneVersione, "Revisione", "--revisione", "0"},
    {Campo::txtCommenti, GruppoCampi::Proprieta, "txtCommenti", "lblCommenti", kSezioneVersione, "Commenti",
     "--commenti", ""},
    {Campo::txtCopyRight, GruppoCampi::Proprieta, "txtCopyRight", "lblCopyRight", kSezioneVersione, "CopyRight",
     "--copyright", ""},
    {Campo::txtNomeProdotto, GruppoCampi::Proprieta, "txtNomeProdotto", "lblNomeProdotto", kSezioneVersione,
     "NomeProdotto", "--prodotto", ""},
    {Campo::txtNomeSocieta, GruppoCampi::Proprieta, "txtNomeSocieta", "lblNomeSocietà", kSezioneVersione, "NomeSocieta",
     "--societa", ""},
    // "guid VECCHIA NUOVA": the command's two words.
    {Campo::txtGuidOld, GruppoCampi::Guid, "txtGuidOld", "lblGuidOld", "", "", "", ""},
    {Campo::txtGuidNew, GruppoCampi::Guid, "txtGuidNew", "lblGuidNew", "", "", "", ""},
};

inline constexpr std::size_t kNumeroCampi = std::size(kTabellaCampi);

constexpr bool CampiInOrdine() {
  for (std::size_t i = 0; i < kNumeroCampi; ++i)
    if (static_cast<std::size_t>(kTabellaCampi[i].campo) != i) return false;
  return static_cast<std::size_t>(Campo::txtGuidNew) + 1 == kNumeroCampi;
}
static_assert(CampiInOrdine(), "one row per Campo, in its order");

constexpr const DescrizioneCampo& DescrizioneDi(Campo campo) { return kTabellaCampi[static_cast<std::size_t>(campo)]; }

// chkIncrementoAutomatico, the form's one check box: saved as -1 (checked) or
// 0, read as a flag (LeggiIniIntero) whose lowest bit checks it.
struct DescrizioneCasella {
  const char* controllo;
  const char* sezione;
  const char* chiave;
  const char* opzione;  // of the batch mode, "si" or "no"
  std::int16_t predefinito;
};

inline constexpr DescrizioneCasella kIncrementoAutomatico = {"chkIncrementoAutomatico", kSezioneVersione,
                                                             "IncrementoAutomatico", "--incremento", -1};

}  // namespace cw
