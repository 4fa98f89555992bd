#pragma once
// The sandbox maker: a Wine-style prefix holding the suite of a catalogue.
//
//   DIR/dosdevices/c: -> ../drive_c     DIR/dosdevices/d: -> ../drive_d
//   C:\Progetti VB\Wexo\...            every folder of the catalogue, its project and sources
//   C:\Orbalis\Componenti              the output folder
//   C:\Programmi\Microsoft Visual Studio\VB98   where the development environment goes
//   C:\Windows, C:\Windows\System32
//   D:\WexoApp, D:\QuilApp             the deployment folders
//   DIR/.wexo-sandbox                  the marker that lets --rebuild know the folder is ours

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/catalogo.h"

namespace cw::sandbox {

inline constexpr const char* kMarcatore = ".wexo-sandbox";
inline constexpr const char* kCartellaVb98 = "C:\\Programmi\\Microsoft Visual Studio\\VB98";
inline constexpr const char* kVb6 = "C:\\Programmi\\Microsoft Visual Studio\\VB98\\VB6.EXE";
inline constexpr const char* kNotepad = "C:\\Windows\\notepad.exe";

// A host file to be put at a Windows path of the sandbox (the stand-in
// development environment, the viewer, ...): a copy, or with `collega` a
// symbolic link to it, for a program that finds its companions beside its
// own real path and should follow rebuilds of it.
struct Installazione {
  std::string percorsoWindows;
  std::filesystem::path origine;
  bool collega = false;
};

struct OpzioniSandbox {
  // Make the sandbox anew in a folder that already holds one: only what the
  // maker made there (dosdevices, drive_c, drive_d) is removed.
  bool ricostruisci = false;
  std::vector<Installazione> installa{};
  // A real Wine prefix, made by wineboot, with the Windows stand-ins from
  // this folder installed (VB6.EXE is standin-vb6.exe); empty: a plain one.
  std::filesystem::path programmiWindows{};
  // A win64 prefix, made by Wine's 64-bit loader, for 64-bit stand-ins (a
  // host that runs no 32-bit program); else Wine's default one, for 32-bit.
  bool a64 = false;
};

struct Riepilogo {
  int progetti = 0;
  int file = 0;
};

// Makes the sandbox in `dir` (made when missing). Throws ErroreSandbox, and
// touches nothing, when `dir` is not empty and no rebuild is asked, or when a
// rebuild is asked of a folder that is not a sandbox. A sandbox that fails
// half way is removed again: `dir` is left empty, or gone when it was made
// here, so the next try needs no --rebuild.
Riepilogo CreaSandbox(const std::filesystem::path& dir, const CatalogoComponenti& catalogo,
                      const OpzioniSandbox& opzioni);

// Puts programs into an existing sandbox; the hook for the stand-ins that
// come later. Throws ErroreSandbox when `dir` is not a sandbox.
void InstallaProgrammi(const std::filesystem::path& dir, const std::vector<Installazione>& programmi);

// True when `dir` holds the marker as a plain file (a link does not count).
bool ESandbox(const std::filesystem::path& dir);

}  // namespace cw::sandbox
