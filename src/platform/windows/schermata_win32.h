#pragma once
// The whole desktop (every monitor) saved as a PNG file, through GDI.

#include <string>

#include "platform/schermo.h"

namespace cw {

// False where the screen cannot be read or the file cannot be written.
bool SalvaSchermataGdi(const std::wstring& file);

// The screen service: the whole desktop, through GDI.
class SchermoWin32 : public Schermo {
 public:
  bool SalvaSchermata(const std::string& percorso) override;
};

}  // namespace cw
