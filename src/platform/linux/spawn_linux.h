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
// starts. 0 and pid set, or the errno of the failure.
int AvviaFiglio(pid_t& pid, const std::filesystem::path& programma, std::vector<std::string> argomenti,
                std::vector<std::string> ambiente, const posix_spawn_file_actions_t* azioni = nullptr,
                bool gruppoProprio = false);

// A descriptor that becomes readable when the child ends; -1 when the kernel
// offers none (the caller then polls).
int PidfdOpen(pid_t pid);

// Whether the file starts with "MZ": a Windows program, run through wine.
bool ComeProgrammaWindows(const std::filesystem::path& programma);

// The first executable file so named in a PATH-style list of folders.
std::optional<std::filesystem::path> CercaNelPercorso(const std::string& percorso, const std::string& nome);

}  // namespace cw
