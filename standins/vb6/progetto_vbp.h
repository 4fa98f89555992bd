#pragma once
// What a build needs to know of a project file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cw::vb6 {

struct ProgettoVbp {
  std::optional<std::string> tipo;               // Type=
  std::vector<std::string> membri;               // files of Form=, Module=, Class=, in file order
  std::optional<std::string> nomeEseguibile;     // ExeName32=, quotes stripped
  std::optional<std::string> modoCompatibilita;  // CompatibleMode=, quotes stripped
  std::optional<std::string> fileCompatibile;    // CompatibleExe32=, quotes stripped
  // StandinDomanda=, quotes stripped: a question the build stops on, as the
  // real environment stops on a modal question (binary compatibility broken,
  // a reference missing), for the tests of the compile's limit.
  std::optional<std::string> domanda;
};

// Reads the project's own keys from the file's bytes (Windows-1252; the
// values come back as UTF-8). Only the lines before the first "[section]"
// belong to the project; keys are matched exactly, as the environment writes
// them. The last occurrence of a single-valued key wins.
ProgettoVbp LeggiProgetto(std::string_view contenuto);

}  // namespace cw::vb6
