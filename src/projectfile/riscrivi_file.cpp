#include "projectfile/riscrivi_file.h"

#include <string>

namespace cw {

void RiscriviFile(FileSystem& fso, std::string_view percorso, const RegolaRiga& regola) {
  std::string copia(percorso);
  copia += kSuffissoCopia;

  // The copy appears whole or not at all, so a "_tmp" that exists always
  // holds the file as it was before this rewrite; and it is on the disk
  // before the file is emptied, so not even a power cut leaves neither.
  fso.CopyFileWholeFlushed(percorso, copia);
  {
    // Both streams close on every way out of this block; a failure before
    // the last Close leaves the copy whole beside a partly written file.
    const auto lettore = fso.OpenTextFile(copia, IOMode::ForReading);
    const auto scrittore = fso.OpenTextFile(percorso, IOMode::ForWriting, true);
    while (!lettore->AtEndOfStream()) scrittore->WriteLine(regola(lettore->ReadLine()));
    lettore->Close();
    scrittore->Close();
  }
  fso.DeleteFile(copia, true);
}

RigheRiscrittura SimulaRiscrittura(FileSystem& fso, std::string_view percorso, const RegolaRiga& regola) {
  RigheRiscrittura righe;
  const auto lettore = fso.OpenTextFile(percorso, IOMode::ForReading);
  while (!lettore->AtEndOfStream()) {
    righe.prima.push_back(lettore->ReadLine());
    righe.dopo.push_back(regola(righe.prima.back()));
  }
  lettore->Close();
  return righe;
}

}  // namespace cw
