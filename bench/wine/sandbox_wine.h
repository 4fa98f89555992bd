#pragma once
// What both Wine benchmarks share: a --wine sandbox made for the run with a
// warm wineserver, named by $WINEPREFIX so the platform's services (and the
// batch mode) work on it, and shell commands run with a limit.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include "catalogue/catalogo.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"
#include "support/wine_prova.h"

namespace cw::bench {

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

inline double Ms(Orologio::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A word for sh, between single quotes.
inline std::string Virgolette(const std::string& parola) {
  std::string out = "'";
  for (char c : parola) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs a shell command, its output to `uscita` (never a pipe: Wine's
// services would keep it), ended after `secondi`; true on status 0. On
// any other, the end of what it printed goes to standard error.
inline bool Esegui(const std::string& comando, const fs::path& uscita, int secondi = 600) {
  const std::string riga = "timeout -k 5 " + std::to_string(secondi) + " sh -c " + Virgolette(comando) + " >" +
                           Virgolette(uscita.string()) + " 2>&1 </dev/null";
  if (std::system(riga.c_str()) == 0) return true;
  const std::string testo = test::LeggiFile(uscita);
  std::fprintf(stderr, "failed: %s\n%s\n", comando.c_str(),
               testo.substr(testo.size() > 4000 ? testo.size() - 4000 : 0).c_str());
  return false;
}

class SandboxWine {
 public:
  // Makes the sandbox with the Windows programs of the helpers' folder the
  // platform itself starts its Windows programs from, so what the sandbox
  // holds and what the tool runs are one build. Throws when that folder is
  // not the build's, or when Wine cannot make the prefix.
  explicit SandboxWine(const CatalogoComponenti& catalogo) : prefisso_(cartella_.Dir() / "sandbox") {
    const fs::path windows = CartellaAusiliari() / "windows";
    std::error_code ec;
    if (!fs::equivalent(windows, CW_WINDOWS_BIN_DIR, ec))
      throw std::runtime_error("the helpers' folder " + windows.string() + " is not the build's " + CW_WINDOWS_BIN_DIR +
                               ": run the benchmark from the build tree's bin folder");
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    sandbox::CreaSandbox(prefisso_, catalogo, {.programmiWindows = windows, .a64 = test::ProgrammiWindowsA64()});
    ::setenv("WINEPREFIX", prefisso_.c_str(), 1);
    std::system("wineserver -p >/dev/null 2>&1");
    // Wine's services start with the first program and then stay with the
    // server, as on a CI machine that keeps one: neither side pays for them.
    if (!Esegui(test::ComandoWine() + " cmd /c exit 0", cartella_.Dir() / "avvio.log", 120))
      throw std::runtime_error("wine cmd /c exit 0 failed in " + prefisso_.string());
  }
  ~SandboxWine() { std::system("wineserver -k >/dev/null 2>&1"); }
  SandboxWine(const SandboxWine&) = delete;
  SandboxWine& operator=(const SandboxWine&) = delete;

  const fs::path& Prefisso() const { return prefisso_; }
  // A scratch folder outside the prefix.
  const fs::path& Cartella() const { return cartella_.Dir(); }

 private:
  test::CartellaTemporanea cartella_;
  fs::path prefisso_;
};

}  // namespace cw::bench
