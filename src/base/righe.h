#pragma once
// Lines of a program's output as they arrive in pieces: the workers' and
// agents' replies over a pipe.

#include <string>

namespace cw {

// Takes the first whole line (ended by LF; a CR before it is dropped) out of
// buffer into riga; false, with both untouched, while no line is whole yet.
inline bool PrendiRiga(std::string& buffer, std::string& riga) {
  const size_t fine = buffer.find('\n');
  if (fine == std::string::npos) return false;
  riga.assign(buffer, 0, fine);
  buffer.erase(0, fine + 1);
  if (!riga.empty() && riga.back() == '\r') riga.pop_back();
  return true;
}

}  // namespace cw
