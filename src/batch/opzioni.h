#pragma once
// The batch front end's command line.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/campi.h"

namespace cw {

// Exit statuses of a command line that is not run.
inline constexpr int kUscitaRifiuto = 2;         // a value the command must not take
inline constexpr int kUscitaRigaDiComando = 64;  // a command line that cannot be understood

struct OpzioniBatch {
  std::string comando;    // "backup", "versione", ...
  std::string controllo;  // the window control it clicks: "cmdBackup", ...
  std::optional<Compatibilita> compatibilita;
  std::vector<std::pair<Campo, std::string>> campi;  // fields set by options
  std::optional<int> incremento;                     // --incremento si|no
  bool conferma = false;                             // answers the questions of "tutto nessuna"
  bool vuoti = false;                                // fields neither given nor stored are meant empty
  std::string visualizzatore;                        // shows the error file instead of printing it
  bool aiuto = false;
  bool debug = false;                               // --debug: the trace on standard error
  bool versione = false;                            // --version: the tool's version, nothing run
  std::string impostazioni;                         // --impostazioni FILE: the settings file's host path
  bool anteprima = false;                           // "anteprima COMANDO": the diff, nothing written
  bool riprendi = false;                            // tutto --riprendi: from the row that failed last
  bool sovrapposizioni = false;                     // indirizzi --sovrapposizioni
  bool applica = false;                             // indirizzi --applica
  bool dot = false;                                 // grafo --dot: the graph in Graphviz's language
  std::string junit;                                // tutto --junit FILE: the JUnit report's host path
  std::optional<std::uint32_t> limiteCompilazione;  // tutto --limite-compilazione SECONDI
  std::optional<int> paralleli;                     // tutto --paralleli N
};

// Parses argv (without the program name). On a command line it cannot
// understand, or a value it must refuse, it returns nullopt with the reason
// in errore and, when stato is given, the exit status in *stato.
std::optional<OpzioniBatch> LeggiOpzioni(const std::vector<std::string>& args, std::string& errore,
                                         int* stato = nullptr);

// The fields a command reads that are neither given nor stored in the
// settings file (by the test presente), unless --vuoti was given; with the
// refusal that names them and their options, or "" when there are none.
std::string CampiMancanti(const OpzioniBatch& opzioni, const std::function<bool(const std::string& chiave)>& presente);

// The Italian --help text.
std::string TestoAiuto();

}  // namespace cw
