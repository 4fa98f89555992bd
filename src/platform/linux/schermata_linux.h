#pragma once
// The screen of the X11 display in $DISPLAY (where Wine shows its windows
// too), saved as a PNG file.

#include <filesystem>
#include <string>

#include "platform/linux/drive_table_linux.h"
#include "platform/schermo.h"

namespace cw {

// False where no display can be opened or the file cannot be written.
bool SalvaSchermataX11(const std::filesystem::path& file);

// The screen service: the X11 screen saved at a Windows path of the prefix.
class SchermoLinux : public Schermo {
 public:
  explicit SchermoLinux(DriveTable drives) : drives_(std::move(drives)) {}
  bool SalvaSchermata(const std::string& percorso) override {
    const auto host = drives_.ResolveForCreate(percorso);
    return host && SalvaSchermataX11(*host);
  }

 private:
  DriveTable drives_;
};

}  // namespace cw
