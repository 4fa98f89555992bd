#pragma once
// Starting a child process on Linux, the one way every service here does it:
// the child begins with no signal blocked and every signal at its default,
// whatever the parent (a Qt window, a test runner) has set for itself.

#include <spawn.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cw {

// Starts programma with the given arguments (argomenti[0] included) and
// environment. azioni, when given, are applied in the child; gruppoProprio
// puts the child in a process group of its own, so one kill reaches all it
// starts. The environment gains the start's mark (discendenza_linux.h), so
// the program and all it starts end with the tool whatever ends it; numero,
// when given, is the start's number, for TerminaDiscendenza. 0 and pid set,
// or the errno of the failure.
int AvviaFiglio(pid_t& pid, const std::filesystem::path& programma, std::vector<std::string> argomenti,
                std::vector<std::string> ambiente, const posix_spawn_file_actions_t* azioni = nullptr,
                bool gruppoProprio = false, unsigned long* numero = nullptr);

// A descriptor that becomes readable when the child ends; -1 when the kernel
// offers none (the caller then polls).
int PidfdOpen(pid_t pid);

// Whether the file starts with "MZ": a Windows program, run through wine.
bool ComeProgrammaWindows(const std::filesystem::path& programma);

// The first executable file so named in a PATH-style list of folders.
std::optional<std::filesystem::path> CercaNelPercorso(const std::string& percorso, const std::string& nome);

// How a program is started: the file run, its words (argomenti[0] included)
// and its environment, for AvviaFiglio.
struct AvvioProgramma {
  std::filesystem::path eseguibile;
  std::vector<std::string> argomenti;
  std::vector<std::string> ambiente;
};

// The tool's environment for a program that works over the prefix:
// WINEPREFIX set to it (Wine's prefix, and the drives a native stand-in
// resolves paths through), and each of variabili ("NAME=value") in place of
// any of the same name.
std::vector<std::string> AmbientePrefisso(const std::filesystem::path& prefisso,
                                          const std::vector<std::string>& variabili = {});

// The start of a Windows program under Wine, the one place that says how:
// `wine` looked up in percorsoRicerca (a PATH-style list; nullopt: $PATH),
// the 64-bit loader for a 64-bit program (architettura_linux.h),
// the words after "wine" (parole[0] the program's host path), the
// environment of AmbientePrefisso and WINEDEBUG=-all unless the user set
// WINEDEBUG, as Wine's own diagnostics would only fill the tool's terminal.
// nullopt when there is no wine.
std::optional<AvvioProgramma> AvvioSottoWine(std::vector<std::string> parole, const std::filesystem::path& prefisso,
                                             const std::vector<std::string>& variabili = {},
                                             const std::optional<std::string>& percorsoRicerca = std::nullopt);

}  // namespace cw
