#include "base/riga_traccia.h"

#include <cstdio>

namespace cw {

std::string RigaTraccia(std::chrono::steady_clock::duration da_inizio, std::string_view tipo, std::string_view testo) {
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(da_inizio).count();
  char tempo[32];
  std::snprintf(tempo, sizeof tempo, "%6lld.%06lld ", static_cast<long long>(us / 1000000),
                static_cast<long long>(us % 1000000));
  std::string riga = tempo;
  riga.append(tipo);
  riga += ": ";
  // One event, one line: a program's output or a reply may hold line ends.
  for (char c : testo) {
    if (c == '\n')
      riga += "\\n";
    else if (c == '\r')
      riga += "\\r";
    else
      riga += c;
  }
  riga += '\n';
  return riga;
}

}  // namespace cw
