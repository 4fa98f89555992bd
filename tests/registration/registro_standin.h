#pragma once
// Reading the stand-in components' registry in a test prefix, and putting
// the stand-ins where a test wants them.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/processi_linux.h"
#include "support/prefisso_temporaneo.h"

namespace cw::test {

// The Windows paths of every registered file ("Percorso=" of each entry).
inline std::set<std::string> Registrati(const PrefissoTemporaneo& p) {
  std::set<std::string> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(p.Dir() / "registry-standin", ec)) {
    if (e.path().filename().string().front() == '.') continue;  // a write in progress
    std::ifstream in(e.path());
    for (std::string riga; std::getline(in, riga);)
      if (riga.rfind("Percorso=", 0) == 0) out.insert(riga.substr(9));
  }
  return out;
}

// Copies a stand-in built beside the test program to a Windows path.
inline void Installa(const PrefissoTemporaneo& p, const std::string& standin, const std::string& windowsPath) {
  const auto destinazione = p.Host(windowsPath);
  std::filesystem::create_directories(destinazione.parent_path());
  std::filesystem::copy_file(CartellaEseguibile() / standin, destinazione,
                             std::filesystem::copy_options::overwrite_existing);
}

// Waits up to 10 s for the condition.
inline bool Entro(const std::function<bool()>& condizione) {
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condizione()) {
    if (std::chrono::steady_clock::now() > limite) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace cw::test
