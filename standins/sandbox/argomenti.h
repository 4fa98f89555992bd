#pragma once
// The command line of wexo-sandbox:
//   wexo-sandbox DIR [--rebuild] [--install WINPATH=HOSTFILE]... [--link WINPATH=HOSTFILE]...
//                    [--wine [--arch x86|x64] [--windows FOLDER]]
//   wexo-sandbox DIR --install-only --install|--link WINPATH=HOSTFILE...
//   wexo-sandbox --help | --version
// WINPATH is a Windows path ("C:\Windows\notepad.exe") or one of the short
// names VB6.EXE and notepad.exe.

#include <stdexcept>
#include <string>
#include <vector>

#include "sandbox.h"

namespace cw::sandbox {

struct Argomenti {
  std::filesystem::path dir;
  OpzioniSandbox opzioni;
  bool soloInstalla = false;
  bool aiuto = false;
  bool versione = false;
  bool wine = false;
  std::string arch;                       // --arch: "x86", "x64", or "" for this host's choice
  std::filesystem::path cartellaWindows;  // empty: windows/ beside the maker
};

class ErroreUso : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Throws ErroreUso for a command line it cannot take.
Argomenti AnalizzaArgomenti(const std::vector<std::string>& argomenti);

// "VB6.EXE" and "notepad.exe" (any letter case) to their Windows paths; a
// path with a drive as it is; "" for anything else.
std::string PercorsoInstallazione(const std::string& nome);

// The --help text; its usage lines are what a usage error prints too.
extern const char* const kUso;

// A command line it cannot take: the batch mode's status for the same.
inline constexpr int kUscitaUso = 64;

}  // namespace cw::sandbox
