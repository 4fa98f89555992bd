#pragma once
// Reports on Windows: written beside, flushed, moved over with write-through.

#include "platform/file_esterni.h"

namespace cw {

class FileEsterniWin32 : public FileEsterni {
 public:
  bool CartellaScrivibile(const std::filesystem::path& cartella) const override;
  int SostituisciIntero(const std::filesystem::path& file, std::string_view contenuto) override;
};

}  // namespace cw
