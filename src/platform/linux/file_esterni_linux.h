#pragma once
// Reports on the Linux host: the same whole replacement as the settings file's.

#include "platform/file_esterni.h"

namespace cw {

class FileEsterniLinux : public FileEsterni {
 public:
  bool CartellaScrivibile(const std::filesystem::path& cartella) const override;
  int SostituisciIntero(const std::filesystem::path& file, std::string_view contenuto) override;
};

}  // namespace cw
