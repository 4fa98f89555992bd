#include "tools/genera_vbg.h"

#include <string>
#include <vector>

#include "base/ansi.h"

namespace cw {

void GeneraVbg(FileSystem& fso, const CatalogoComponenti& catalogo) {
  // Every line is made before the file is opened: opening empties it, so
  // the time it spends incomplete is only that of the writes.
  std::vector<std::string> righe;
  righe.reserve(static_cast<size_t>(catalogo.UBound() - catalogo.LBound() + 2));
  righe.emplace_back("VBGROUP 5.0");
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    const char* chiave = catalogo(i, kFileProgetto) == kProgettoAvvio ? "StartUpProject=" : "Project=";
    righe.push_back(Utf8ToAnsi(chiave + catalogo.FileProgettoCompleto(i)));
  }
  auto file = fso.OpenTextFile(kFileGruppo, IOMode::ForWriting, true);
  for (const auto& riga : righe) file->WriteLine(riga);
  file->Close();
}

}  // namespace cw
