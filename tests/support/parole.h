#pragma once
// The words of a command line as our lines need them split: blanks part
// them, a pair of quotes groups and is dropped.

#include <string>
#include <vector>

namespace cw::test {

// virgolette: '"' for a Windows command line, '\'' for a shell's.
inline std::vector<std::string> Parole(const std::string& riga, char virgolette = '"') {
  std::vector<std::string> parole;
  std::string parola;
  bool dentro = false, aperta = false;
  for (char c : riga) {
    if (c == virgolette) {
      dentro = !dentro;
      aperta = true;
    } else if (c == ' ' && !dentro) {
      if (aperta) parole.push_back(parola);
      parola.clear();
      aperta = false;
    } else {
      parola += c;
      aperta = true;
    }
  }
  if (aperta) parole.push_back(parola);
  return parole;
}

}  // namespace cw::test
