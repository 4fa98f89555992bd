// RiscriviFile with each line rule, against a reference written here from
// the rules' plain words:
//   prefix      a line that starts with the key becomes key + value;
//   whole line  a line that is exactly the text becomes the replacement;
//   substring   each occurrence, left to right, without overlaps, becomes the
//               new text (an empty old text changes nothing);
// every line read up to LF or CR LF and written back ending in CR LF.
//
// Input: rule byte, fault byte, a NUL b NUL file-bytes. The rule byte picks
// one rule over a and b, the version stamp's own sequence, or a sequence of
// two; a fault byte n > 0 fails the n-th file operation of the rewrite, and
// then the file must be whole or its "_tmp" copy must hold it in full.

#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "fuzz/bersagli.h"
#include "fuzz/comune.h"
#include "platform/linux/filesystem_linux.h"
#include "projectfile/riscrivi_file.h"
#include "support/fault_injecting_filesystem.h"

namespace cw::fuzz {
namespace {

using Riferimento = std::string (*)(const std::string& riga, const std::string& a, const std::string& b);

std::string Prefisso(const std::string& riga, const std::string& chiave, const std::string& valore) {
  return riga.rfind(chiave, 0) == 0 ? chiave + valore : riga;
}

std::string Intera(const std::string& riga, const std::string& testo, const std::string& sostituto) {
  return riga == testo ? sostituto : riga;
}

std::string Sottostringa(const std::string& riga, const std::string& vecchio, const std::string& nuovo) {
  if (vecchio.empty()) return riga;
  std::string out;
  size_t i = 0;
  while (i < riga.size()) {
    if (riga.compare(i, vecchio.size(), vecchio) == 0) {
      out += nuovo;
      i += vecchio.size();
    } else {
      out += riga[i++];
    }
  }
  return out;
}

std::string Versione(const std::string& riga, const std::string& a, const std::string& b) {
  std::string r = Prefisso(riga, "MajorVer=", a);
  r = Prefisso(r, "MinorVer=", b);
  r = Prefisso(r, "RevisionVer=", a);
  return Intera(r, "FavorPentiumPro(tm)=0", "FavorPentiumPro(tm)=-1");
}

std::string Coppia(const std::string& riga, const std::string& a, const std::string& b) {
  return Sottostringa(Prefisso(riga, a, b), b, a);
}

std::vector<std::string> RigheDelFile(const std::string& contenuto) {
  std::vector<std::string> righe;
  size_t da = 0;
  while (da < contenuto.size()) {
    const size_t fine = contenuto.find_first_of("\r\n", da);
    if (fine == std::string::npos) {
      righe.push_back(contenuto.substr(da));
      break;
    }
    righe.push_back(contenuto.substr(da, fine - da));
    da = contenuto.compare(fine, 2, "\r\n") == 0 ? fine + 2 : fine + 1;
  }
  return righe;
}

}  // namespace

int ProvaRiscriviFile(const std::uint8_t* dati, std::size_t n) {
  if (n < 2) return 0;
  const unsigned tipo = dati[0] % 5u;
  const long guasto = dati[1];
  const auto campi = Campi(dati + 2, n - 2, 3);
  const std::string &a = campi[0], &b = campi[1], &vecchio = campi[2];

  RegolaRiga regola;
  Riferimento riferimento = nullptr;
  // A replacement holding a line end is refused when its rule is built.
  const auto aCapo = [](const std::string& t) { return t.find_first_of("\r\n") != std::string::npos; };
  const bool rifiutata = aCapo(b) || (tipo >= 3 && aCapo(a));
  try {
    switch (tipo) {
      case 0:
        regola = RegolaPrefisso(a, b);
        riferimento = Prefisso;
        break;
      case 1:
        regola = RegolaRigaIntera(a, b);
        riferimento = Intera;
        break;
      case 2:
        regola = RegolaSottostringa(a, b);
        riferimento = Sottostringa;
        break;
      case 3:
        regola = InSequenza({RegolaPrefisso("MajorVer=", a), RegolaPrefisso("MinorVer=", b),
                             RegolaPrefisso("RevisionVer=", a),
                             RegolaRigaIntera("FavorPentiumPro(tm)=0", "FavorPentiumPro(tm)=-1")});
        riferimento = Versione;
        break;
      default:
        regola = InSequenza({RegolaPrefisso(a, b), RegolaSottostringa(b, a)});
        riferimento = Coppia;
        break;
    }
  } catch (const ErroreRuntime& e) {
    CW_VERIFICA(rifiutata && e.Numero() == kChiamataNonValida, "rule refused with error " + std::to_string(e.Numero()));
    return 0;
  }
  CW_VERIFICA(!rifiutata, "a replacement with a line end was taken: " + Mostra(b));

  static const std::filesystem::path prefisso = [] {
    const auto p = CartellaLavoro() / "riscrivi";
    std::filesystem::create_directories(p / "dosdevices");
    std::filesystem::create_directories(p / "drive_c" / "Progetti VB");
    std::filesystem::create_directory_symlink("../drive_c", p / "dosdevices" / "c:");
    return p;
  }();
  static FileSystemLinux reale{DriveTable(prefisso)};
  const std::filesystem::path cartella = prefisso / "drive_c" / "Progetti VB";
  const std::filesystem::path host = cartella / "Wexo.vbp";
  const std::filesystem::path copia = cartella / "Wexo.vbp_tmp";
  std::filesystem::remove(copia);
  ScriviFile(host, vecchio);

  std::string atteso;
  for (const auto& riga : RigheDelFile(vecchio)) atteso += riferimento(riga, a, b) + "\r\n";

  FaultInjectingFileSystem fso(reale);
  if (guasto) fso.FailCall(guasto, kErroreIo);
  bool fallito = false;
  try {
    RiscriviFile(fso, "C:\\Progetti VB\\Wexo.vbp", regola);
  } catch (const ErroreRuntime& e) {
    CW_VERIFICA(guasto && e.Numero() == kErroreIo, "unexpected error " + std::to_string(e.Numero()));
    fallito = true;
  }
  const std::string ora = LeggiFile(host);
  if (!fallito) {
    CW_VERIFICA(ora == atteso, "rule " + std::to_string(tipo) + " a=" + Mostra(a) + " b=" + Mostra(b) + "\nfile " +
                                   Mostra(vecchio) + "\ngot  " + Mostra(ora) + "\nwant " + Mostra(atteso));
    CW_VERIFICA(!std::filesystem::exists(copia), "the copy is left after a rewrite");
  } else {
    const bool copiaIntera = std::filesystem::exists(copia) && LeggiFile(copia) == vecchio;
    CW_VERIFICA(ora == vecchio || copiaIntera, "call " + std::to_string(guasto) +
                                                   " failed and the old content is lost: " + Mostra(vecchio) +
                                                   "\nfile now " + Mostra(ora));
  }
  return 0;
}

}  // namespace cw::fuzz
