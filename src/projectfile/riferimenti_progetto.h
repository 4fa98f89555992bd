#pragma once
// What the reference graph and the stand-in development environment read of
// a project file: its build output's name and the files it references. Bytes
// stay as the file holds them (Windows-1252); nothing here needs a host
// service, so the stand-in builds this file into itself.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

struct RiferimentiProgetto {
  std::optional<std::string> nomeEseguibile;  // ExeName32=, quotes stripped
  // The file of each "Reference=*\G{...}#ver#lcid#FILE#description" line, of
  // each "Reference=*\AFILE" (another project, as a group writes it) and of
  // each "Object={...}#ver#lcid; FILE", in file order, blanks around trimmed.
  std::vector<std::string> file;
  // Which of them name a project file rather than a built one.
  std::vector<bool> progetto;
};

// The project's keys are the lines before the first "[section]", matched
// exactly as the development environment writes them.
RiferimentiProgetto LeggiRiferimenti(std::string_view contenuto);

}  // namespace cw
