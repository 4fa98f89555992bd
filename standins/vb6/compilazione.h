#pragma once
// One command-line build: the checks a real build would fail on, the built
// file written into the output folder, and the report lines for "/out".

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cw::vb6 {

// Where the host file of a Windows path is: through the drive table of a
// prefix on Linux, the path itself on Windows.
class Unita {
 public:
  virtual ~Unita() = default;
  // The existing file or folder; nothing when the path leads nowhere.
  virtual std::optional<std::filesystem::path> Resolve(const std::string& percorso) const = 0;
  // Where a file that may not exist yet goes (its folder must exist).
  virtual std::optional<std::filesystem::path> ResolveForCreate(const std::string& percorso) const = 0;
};

// The three paths of "/make P /outdir D /out E", as Windows paths (UTF-8).
struct Richiesta {
  std::string progetto;
  std::string cartellaOutput;
  std::string fileErrori;
};

struct Resoconto {
  bool riuscita = false;
  std::vector<std::string> righe;  // UTF-8, without line ends
  // The project's StandinDomanda: the build asks it before anything else and
  // has no report yet.
  std::optional<std::string> domanda = std::nullopt;
};

// Where the stand-in components are copied from: the built file of an
// OleDll project is a copy of the stand-in in-process server, that of an
// OleExe project a copy of the stand-in EXE server, that of an Exe project a
// copy of the stand-in application. A model that is not there (or has no
// name) gives a placeholder.
struct Componenti {
  std::filesystem::path cartella;  // empty: write placeholders
  std::string serverInProcesso;
  std::string serverEseguibile;
  std::string applicazione;
};

// The order check of a run that builds several projects at once, and the
// build's own time, from the environment (CW_STANDIN_INIZIO, CW_STANDIN_MS).
struct Ordine {
  // A Windows path; its modification time is the run's start. Given, every
  // file in the output folder that the project references (a "Reference=" or
  // "Object=" line) must be there, written since the run's start, and not
  // being written ("X.dll.vb6-scrittura" beside it, which this build keeps
  // beside its own built file from its checks to its end), when the build
  // starts and when it ends.
  std::string fileInizio;
  int millisecondi = 0;  // how long the build takes, before its file is written
};

// The success line. A failure adds one "Impossibile ..." line before the
// failure line, so the report never holds a failure word on success (unless
// the project path itself holds one).
std::string RigaCompletata(const std::string& progetto);
std::string RigaNonCompletata(const std::string& progetto);

Resoconto Compila(const Unita& unita, const Richiesta& richiesta, const Componenti& componenti,
                  const Ordine& ordine = {});

// Appends the lines to the report file, Windows-1252 with CR LF; creates it
// when missing. False when it cannot be written.
bool AccodaResoconto(const Unita& unita, const std::string& fileErrori, const std::vector<std::string>& righe);

}  // namespace cw::vb6
