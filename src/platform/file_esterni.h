#pragma once
// Host files outside the suite that the user names for other tools to read
// (the JUnit report): made or replaced whole, the way the settings file is,
// so a reader never finds half of one and a power cut leaves the old one or
// the new one.

#include <filesystem>
#include <string_view>

namespace cw {

class FileEsterni {
 public:
  virtual ~FileEsterni() = default;
  // Whether the folder takes new files (the check of a report's place before
  // a run that would write it only at its end).
  virtual bool CartellaScrivibile(const std::filesystem::path& cartella) const = 0;
  // file (created when missing) becomes contenuto: written beside it,
  // flushed, renamed over it, the rename flushed. 0, or the run-time error
  // of the step that failed (76 no folder, 70 refused, 61 disk full, ...),
  // with no temporary file left and file as it was.
  virtual int SostituisciIntero(const std::filesystem::path& file, std::string_view contenuto) = 0;
};

}  // namespace cw
