#pragma once
// The window's command line: --help and --version are answered before the
// window, a display or a prefix is needed; --debug turns the trace on;
// anything else is refused, since the window takes no arguments.

#include <optional>
#include <string>
#include <vector>

namespace cw {

// A command line that is not understood: the status the batch mode gives it
// (kUscitaRigaDiComando), the same for every program of the tool.
inline constexpr int kUscitaUsoFinestra = 64;

enum class AzioneFinestra { Apri, Aiuto, Versione, Rifiuta };

struct RigaFinestra {
  AzioneFinestra azione = AzioneFinestra::Apri;
  std::string errore;  // for Rifiuta: the line for standard error
  bool debug = false;  // --debug: the trace on standard error
};

// args without the program's name.
RigaFinestra LeggiRigaFinestra(const std::vector<std::string>& args);

// The Italian --help text of compilawexo.
std::string TestoAiutoFinestra();

// What a command line other than Apri asks: the help or the version on
// standard output, or the refusal on standard error; the exit status, or
// nullopt when the window is to open.
std::optional<int> RispondiRigaFinestra(const RigaFinestra& riga, const char* versione);

}  // namespace cw
