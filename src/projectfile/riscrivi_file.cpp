#include "projectfile/riscrivi_file.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/flusso_lettura.h"

namespace cw {

void RiscriviFile(FileSystem& fso, std::string_view percorso, const RegolaRiga& regola) {
  // Each line goes through the rule once, here: a rule may keep count of
  // what it saw (the base address goes in once). A file the rewrite would
  // give back byte for byte is then left alone: no copy, no write, its time
  // stamp kept. Every write is a window for a crash.
  std::vector<std::string> vecchie, nuove;
  {
    const auto file = fso.OpenTextFile(percorso, IOMode::ForReading);
    const std::string byte = file->ReadAll();
    file->Close();
    std::string riscritto;
    ReadingStream righe(byte);
    while (!righe.AtEndOfStream()) {
      vecchie.push_back(righe.ReadLine());
      nuove.push_back(regola(vecchie.back()));
      riscritto += nuove.back();
      riscritto += "\r\n";
    }
    if (riscritto == byte) return;
  }

  std::string copia(percorso);
  copia += kSuffissoCopia;

  // The copy appears whole or not at all, so a "_tmp" that exists always
  // holds the file as it was before this rewrite; and it is on the disk
  // before the file is emptied, so not even a power cut leaves neither.
  fso.CopyFileWholeFlushed(percorso, copia);
  {
    // Both streams close on every way out of this block; a failure before
    // the last Close leaves the copy whole beside a partly written file.
    // The file is written from its copy; a line that is not the one read
    // above (someone changed the file meanwhile) goes through the rule now.
    const auto lettore = fso.OpenTextFile(copia, IOMode::ForReading);
    const auto scrittore = fso.OpenTextFile(percorso, IOMode::ForWriting, true);
    for (size_t i = 0; !lettore->AtEndOfStream(); ++i) {
      std::string riga = lettore->ReadLine();
      scrittore->WriteLine(i < vecchie.size() && riga == vecchie[i] ? nuove[i] : regola(std::move(riga)));
    }
    lettore->Close();
    scrittore->Close();
  }
  // The new content is on the disk before its one whole alternative goes.
  fso.FlushFile(percorso);
  fso.DeleteFile(copia, true);
}

void FinePassaggio(FileSystem& fso, std::string_view ultimo) { fso.FlushFile(ultimo); }

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
