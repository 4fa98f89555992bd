#pragma once
// The compile loop: the development environment's command-line build run
// once per catalogue row, in order, the first failure ending the walk.

#include <string>

#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "platform/process.h"
#include "platform/ui.h"

namespace cw {

inline constexpr const char* kAmbienteSviluppo = "C:\\Programmi\\Microsoft Visual Studio\\VB98\\VB6.EXE";
inline constexpr const char* kFileErroriCompilazione = "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt";

// The command line that builds one project into one folder, every path
// between double quotes and nothing escaped.
std::string RigaDiComando(const std::string& progetto, const std::string& cartellaOutput);

// True when the error file's text holds "impossibile" or "non completata",
// in any mix of letter case.
bool CompilazioneFallita(const std::string& testoErrori);

// Deletes the error file, then builds every row whose kind is not a skip
// marker: "N) Compilazione NAME in corso..." announced, the build started
// minimized and waited for, the error file read whole, the line ended in
// " OK!" or " ERRORE!". The first failure ends the walk; otherwise one turn of
// the event pump follows each row, skipped rows included. Returns true
// whenever it returns; rigaFallita (when given) receives the failed row's
// index, or -1. A development environment that cannot be started, or a build
// that leaves no error file, raises run-time error 53 at that row.
bool CompilaProgetti(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Processes& processi,
                     int* rigaFallita = nullptr);

}  // namespace cw
