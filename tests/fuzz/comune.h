#pragma once
// What the fuzz targets share: a check that stops the run with a readable
// report, the input cut into fields, and a scratch folder for the targets
// that need real files.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace cw::fuzz {

// Bytes shown escaped, so a report of binary input stays on one line.
inline std::string Mostra(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\\' || b == '"') {
      out += '\\';
      out += c;
    } else if (b >= 0x20 && b < 0x7F) {
      out += c;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", b);
      out += buf;
    }
  }
  return out + "\"";
}

// The input being run, named in a report (the corpus test sets it; libFuzzer
// saves the input itself).
inline std::string& InputCorrente() {
  static std::string nome;
  return nome;
}

[[noreturn]] inline void Fallito(const char* file, int line, const char* condizione, const std::string& dettaglio) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n%s\n", file, line, condizione, dettaglio.c_str());
  if (!InputCorrente().empty()) std::fprintf(stderr, "input: %s\n", InputCorrente().c_str());
  std::fflush(stderr);
  std::abort();
}

#define CW_VERIFICA(condizione, dettaglio)                                                \
  do {                                                                                    \
    if (!(condizione)) ::cw::fuzz::Fallito(__FILE__, __LINE__, #condizione, (dettaglio)); \
  } while (0)

// The input as fields: the first `quanti - 1` end at a NUL byte, the last
// takes the rest (NULs included). Missing fields are empty.
inline std::vector<std::string> Campi(const std::uint8_t* dati, std::size_t n, std::size_t quanti) {
  std::vector<std::string> campi(quanti);
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  std::size_t da = 0;
  for (std::size_t i = 0; i + 1 < quanti && da <= tutto.size(); ++i) {
    const std::size_t nul = tutto.find('\0', da);
    if (nul == std::string_view::npos) {
      campi[i] = std::string(tutto.substr(da));
      return campi;
    }
    campi[i] = std::string(tutto.substr(da, nul - da));
    da = nul + 1;
  }
  if (da <= tutto.size()) campi[quanti - 1] = std::string(tutto.substr(da));
  return campi;
}

// A folder of this process for the whole run, in memory when the machine
// has /dev/shm (the targets write files on every input), removed at exit.
const std::filesystem::path& CartellaLavoro();

// Writes bytes to a host file, replacing it.
void ScriviFile(const std::filesystem::path& file, std::string_view byte);
std::string LeggiFile(const std::filesystem::path& file);

}  // namespace cw::fuzz
