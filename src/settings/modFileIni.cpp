#include "settings/modFileIni.h"

#include <optional>

#include "base/ansi.h"
#include "base/numeri.h"

namespace cw {
namespace {

// The reader's answer in a buffer of blanks, cut at the first NUL; nothing
// when the buffer holds no NUL (the caller then keeps its default). Texts
// cross to the reader in the ANSI code page; the answer stays in it.
std::optional<std::string> LeggiBuffer(const ProfiloLetto& file, const std::string& sezione, const std::string& chiave,
                                       const std::string& predefinito, std::int16_t dimensioneBuffer) {
  if (dimensioneBuffer <= 0) return std::nullopt;
  std::string buffer(static_cast<size_t>(dimensioneBuffer), ' ');
  file.GetString(Utf8ToAnsi(sezione), Utf8ToAnsi(chiave), Utf8ToAnsi(predefinito), buffer.data(), buffer.size() - 1);
  const size_t nul = buffer.find('\0');
  if (nul == std::string::npos) return std::nullopt;
  buffer.resize(nul);
  return buffer;
}

// More copies of one key than any file holds by mistake: the removal stops there.
constexpr int kCopieCancellate = 100;

}  // namespace

std::string NomeFileIni(const std::string& cartellaProgramma) { return cartellaProgramma + "WexoUty.ini"; }

std::string LeggiIniStringa(const Profilo& profilo, const std::string& file, const std::string& sezione,
                            const std::string& chiave, const std::string& predefinito, std::int16_t dimensioneBuffer) {
  return LeggiIniStringa(*profilo.Leggi(file), sezione, chiave, predefinito, dimensioneBuffer);
}

std::int16_t LeggiIniIntero(const Profilo& profilo, const std::string& file, const std::string& sezione,
                            const std::string& chiave, std::int16_t predefinito) {
  return LeggiIniIntero(*profilo.Leggi(file), sezione, chiave, predefinito);
}

std::string LeggiIniStringa(const ProfiloLetto& file, const std::string& sezione, const std::string& chiave,
                            const std::string& predefinito, std::int16_t dimensioneBuffer) {
  const std::optional<std::string> letto = LeggiBuffer(file, sezione, chiave, predefinito, dimensioneBuffer);
  return letto ? AnsiToUtf8(*letto) : predefinito;
}

std::int16_t LeggiIniIntero(const ProfiloLetto& file, const std::string& sezione, const std::string& chiave,
                            std::int16_t predefinito) {
  const std::optional<std::string> letto =
      LeggiBuffer(file, sezione, chiave, std::to_string(predefinito), kDimensioneBuffer);
  double numero = 0;
  if (!letto || !ConvertiNumero(*letto, numero)) return predefinito;
  // The setting is a flag: any number other than zero is true, and true is -1.
  return numero == 0 ? std::int16_t{0} : std::int16_t{-1};
}

std::string MarcaUtf8Rifiutata(const Profilo& profilo, const std::string& file) {
  if (!profilo.ConMarcaUtf8(file)) return "";
  return "Il file delle impostazioni '" + file +
         "' inizia con il segno UTF-8 (BOM, i byte EF BB BF): letto così la sua prima sezione non si vedrebbe e un "
         "salvataggio ne aggiungerebbe una seconda \"[Versione]\". Salvarlo di nuovo come testo Windows-1252 (ANSI), "
         "senza BOM; nessun file è stato modificato.";
}

// The settings file's folders are made by the first write: a fresh prefix
// has no "C:\Programmi\CompilaWexo" yet.
bool ScriviIniStringa(Profilo& profilo, const std::string& file, const std::string& sezione, const std::string& chiave,
                      const std::string& valore) {
  return !profilo.ConMarcaUtf8(file) && profilo.CreaCartelleProfilo(file) &&
         profilo.WritePrivateProfileStringA(file, Utf8ToAnsi(sezione), Utf8ToAnsi(chiave), Utf8ToAnsi(valore));
}

bool ScriviIniIntero(Profilo& profilo, const std::string& file, const std::string& sezione, const std::string& chiave,
                     std::int16_t valore) {
  return !profilo.ConMarcaUtf8(file) && profilo.CreaCartelleProfilo(file) &&
         profilo.WritePrivateProfileStringA(file, Utf8ToAnsi(sezione), Utf8ToAnsi(chiave), std::to_string(valore));
}

void CancellaIniChiave(Profilo& profilo, const std::string& file, const std::string& sezione,
                       const std::string& chiave) {
  // A key written twice reads as its next copy once the first is gone: each
  // goes, until the reader finds none (or the file cannot be written).
  static const std::string kAssente = "\x01";
  if (profilo.ConMarcaUtf8(file)) return;
  for (int copia = 0; copia < kCopieCancellate; ++copia) {
    if (LeggiIniStringa(profilo, file, sezione, chiave, kAssente, kDimensioneBuffer) == kAssente) return;
    if (!profilo.CancellaChiaveProfilo(file, Utf8ToAnsi(sezione), Utf8ToAnsi(chiave))) return;
  }
}

std::string LeggiCampo(const ProfiloLetto& file, Campo campo) {
  const DescrizioneCampo& d = DescrizioneDi(campo);
  if (!*d.chiave) return d.predefinito;
  return LeggiIniStringa(file, d.sezione, d.chiave, d.predefinito, kDimensioneBuffer);
}

bool ScriviCampo(Profilo& profilo, const std::string& file, Campo campo, const std::string& valore) {
  const DescrizioneCampo& d = DescrizioneDi(campo);
  return !*d.chiave || ScriviIniStringa(profilo, file, d.sezione, d.chiave, valore);
}

bool SalvaVersione(Profilo& profilo, const std::function<std::string()>& fileIni, bool incremento,
                   const std::string& principale, const std::string& secondario, const std::string& revisione) {
  const DescrizioneCasella& casella = kIncrementoAutomatico;
  bool ok = ScriviIniIntero(profilo, fileIni(), casella.sezione, casella.chiave,
                            static_cast<std::int16_t>(incremento ? -1 : 0));
  ok = ScriviCampo(profilo, fileIni(), Campo::txtVersionePrincipale, principale) && ok;
  ok = ScriviCampo(profilo, fileIni(), Campo::txtVersioneSecondario, secondario) && ok;
  return ScriviCampo(profilo, fileIni(), Campo::txtVersioneRevisione, revisione) && ok;
}

void AvvisaImpostazioniNonSalvate(Ui& ui, const std::string& file) {
  ui.MsgBox("Impossibile salvare le impostazioni in '" + file + "'", kStileEsclamativo, kTitoloApplicazione);
}

}  // namespace cw
