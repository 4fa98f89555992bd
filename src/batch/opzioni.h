#pragma once
// The batch front end's command line.

#include <optional>
#include <string>
#include <vector>

#include "commands/campi.h"

namespace cw {

struct OpzioniBatch {
  std::string comando;             // "backup", "versione", ...
  std::string controllo;           // the window control it clicks: "cmdBackup", ...
  std::optional<Compatibilita> compatibilita;
  std::vector<std::pair<Campo, std::string>> campi;  // fields set by options
  std::optional<int> incremento;   // --incremento si|no
  bool conferma = false;           // answers the questions of "tutto nessuna"
  std::string visualizzatore;      // shows the error file instead of printing it
  bool aiuto = false;
};

// Parses argv (without the program name). On a command line it cannot
// understand it returns nullopt and puts the reason in errore.
std::optional<OpzioniBatch> LeggiOpzioni(const std::vector<std::string>& args, std::string& errore);

// The Italian --help text.
std::string TestoAiuto();

}  // namespace cw
