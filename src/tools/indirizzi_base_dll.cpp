#include "tools/indirizzi_base_dll.h"

#include <cstring>

#include "base/ansi.h"
#include "base/passi_log.h"

namespace cw {
namespace {

// Characters, not bytes: the names are UTF-8 and the column is what a
// fixed-pitch font shows.
int Caratteri(const std::string& utf8) {
  int n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

std::string RigaIndirizzoBase(const std::string& fileProgetto, const std::string& valore) {
  const std::string nome = MaiuscoloUtf8(fileProgetto);
  const int lunghezza = Caratteri(nome);
  const int spazi = lunghezza <= kColonnaNome ? kColonnaNome - lunghezza : 1;
  return "Indirizzo di base di: " + nome + std::string(static_cast<size_t>(spazi), ' ') + valore;
}

std::optional<std::string> ValoreIndirizzoBase(FileSystem& fso, const std::string& progetto) {
  const size_t lunghezzaChiave = std::strlen(kChiaveIndirizzoBase);
  std::optional<std::string> valore;
  auto file = fso.OpenTextFile(progetto, IOMode::ForReading, false);
  while (!file->AtEndOfStream()) {
    const std::string riga = file->ReadLine();
    if (riga.compare(0, lunghezzaChiave, kChiaveIndirizzoBase) == 0) {
      // From the equals sign on: the last character of the key.
      valore = riga.substr(lunghezzaChiave - 1);
      break;
    }
  }
  file->Close();
  return valore;
}

void IndirizziBaseDll(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui) {
  ui.LogClear();
  ui.LogSetFontName(kFontReport);
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    if (catalogo(i, kTipo) != "dll") continue;
    const std::optional<std::string> letto = ValoreIndirizzoBase(fso, catalogo.FileProgettoCompleto(i));
    const std::string valore = letto ? AnsiToUtf8(*letto) : "Non specificato: " + catalogo(i, kFileProgetto);
    AnnunciaPasso(ui, RigaIndirizzoBase(catalogo(i, kFileProgetto), valore));
  }
}

}  // namespace cw
