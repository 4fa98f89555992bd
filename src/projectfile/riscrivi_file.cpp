#include "projectfile/riscrivi_file.h"

#include <algorithm>
#include <string>

#include "base/flusso_lettura.h"

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
  const auto file = fso.OpenTextFile(percorso, IOMode::ForReading);
  const std::string byte = file->ReadAll();
  file->Close();
  // Split as the file service's stream splits what the rewrite reads; each
  // line then takes back the end the stream dropped.
  ReadingStream lettore(byte);
  size_t inizio = 0;
  while (!lettore.AtEndOfStream()) {
    const std::string riga = lettore.ReadLine();
    const size_t fine = inizio + riga.size();
    const size_t a = byte.compare(fine, 2, "\r\n") == 0 ? fine + 2 : std::min(fine + 1, byte.size());
    righe.prima.push_back(byte.substr(inizio, a - inizio));
    righe.dopo.push_back(regola(riga) + "\r\n");
    inizio = a;
  }
  return righe;
}

}  // namespace cw
