#pragma once
// One command-line build: the checks a real build would fail on, the built
// file written into the output folder, and the report lines for "/out".

#include <filesystem>
#include <string>
#include <vector>

#include "platform/drive_table.h"

namespace cw::vb6 {

// The three paths of "/make P /outdir D /out E", as Windows paths (UTF-8).
struct Richiesta {
  std::string progetto;
  std::string cartellaOutput;
  std::string fileErrori;
};

struct Resoconto {
  bool riuscita = false;
  std::vector<std::string> righe;  // UTF-8, without line ends
};

// Where the stand-in components are copied from: the built file of an
// OleDll project is a copy of the stand-in in-process server, that of an
// OleExe project a copy of the stand-in EXE server.
struct Componenti {
  std::filesystem::path cartella;  // empty: write placeholders
};

// The success line. A failure adds one "Impossibile ..." line before the
// failure line, so the report never holds a failure word on success (unless
// the project path itself holds one).
std::string RigaCompletata(const std::string& progetto);
std::string RigaNonCompletata(const std::string& progetto);

Resoconto Compila(const DriveTable& unita, const Richiesta& richiesta, const Componenti& componenti);

// Appends the lines to the report file, Windows-1252 with CR LF; creates it
// when missing. False when it cannot be written.
bool AccodaResoconto(const DriveTable& unita, const std::string& fileErrori, const std::vector<std::string>& righe);

}  // namespace cw::vb6
