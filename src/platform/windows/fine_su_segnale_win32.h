#pragma once
// Ending the tool on Windows: Ctrl+C, Ctrl+Break or closing the console end
// the process as the system does by default; the registration worker and
// every program the tool started (the builds, Notepad, with all they started)
// end with it through their job objects (processi_win32.cpp). So no wait is
// ever woken by a signal, and there is nothing to prepare.

#include "platform/fine_su_segnale.h"

namespace cw {

class SegnaliWin32 : public Segnali {
 public:
  void PreparaFineSuSegnale() override {}
};

}  // namespace cw
