#pragma once
// The screen, saved as a picture: what a build stopped on a question showed.

#include <string>

namespace cw {

class Schermo {
 public:
  virtual ~Schermo() = default;
  // The whole screen saved as a PNG file at the Windows path; false where no
  // screen is there or the file cannot be written.
  virtual bool SalvaSchermata(const std::string& percorso) = 0;
};

}  // namespace cw
