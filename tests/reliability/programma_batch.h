#pragma once
// The batch front end as a process of these tests: a copy of its own, away
// from the build tree so that nothing it writes beside itself can land
// there, started with posix_spawn over a sandbox.

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/linux/cartelle_programma_linux.h"

extern char** environ;

namespace cw::test {

// Copies compilawexo-batch, and the other programs named, from beside the
// test into cartella; false, copying nothing, when the front end is not built.
inline bool CopiaBatch(const std::filesystem::path& cartella, std::initializer_list<const char*> altri = {}) {
  const std::filesystem::path accanto = CartellaEseguibile();
  if (!std::filesystem::exists(accanto / "compilawexo-batch")) return false;
  std::filesystem::create_directories(cartella);
  std::filesystem::copy_file(accanto / "compilawexo-batch", cartella / "compilawexo-batch");
  for (const char* nome : altri) std::filesystem::copy_file(accanto / nome, cartella / nome);
  return true;
}

// This process's environment with WINEPREFIX naming the sandbox instead.
inline std::vector<std::string> AmbienteConPrefisso(const std::filesystem::path& sandbox) {
  std::vector<std::string> ambiente{"WINEPREFIX=" + sandbox.string()};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("WINEPREFIX=", 0) != 0) ambiente.emplace_back(*e);
  return ambiente;
}

// What posix_spawn takes for argv and envp: a pointer a word, then a null.
inline std::vector<char*> Puntatori(std::vector<std::string>& parole) {
  std::vector<char*> p;
  for (auto& s : parole) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

}  // namespace cw::test
