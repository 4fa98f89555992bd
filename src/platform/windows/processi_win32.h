#pragma once
// The process service over CreateProcessW. The command line goes to the
// system as it is, with no program name beside it, so Windows does its own
// search: the program's folder, the current folder, the system folders, the
// PATH, and each longer part of an unquoted line up to a blank.
//
// Each program runs in a job object of its own that ends it, and all it
// started, when the tool is killed or ended by Ctrl+C, Ctrl+Break or its
// console closing. A program seen to end, and at the tool's normal exit a
// program nobody waits for, lets go of its job: what it started runs on.

#include <cstdint>

#include "platform/attesa.h"
#include "platform/processi.h"

namespace cw {

class ProcessiWin32 : public Processi {
 public:
  // attesa: how waits wait; null: blocked.
  explicit ProcessiWin32(Attesa* attesa = nullptr) : attesa_(attesa) {}

  // The process in a job object of its own (when the tool's job allows it).
  std::unique_ptr<ProgrammaAvviato> Avvia(const std::string& riga, int stile) override;
  // All at once, through one wait on their handles.
  std::optional<std::size_t> AttendiPrimo(std::span<ProgrammaAvviato* const> programmi,
                                          std::chrono::milliseconds limite) override;

  // The window style a started program is shown with (STARTUPINFO's
  // wShowWindow): Visual Basic's Shell styles.
  static unsigned short MostraFinestra(int stile);

 private:
  Attesa* attesa_;
};

}  // namespace cw
