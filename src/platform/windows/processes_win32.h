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
#include "platform/processes.h"

namespace cw {

class ProcessesWin32 : public Processes {
 public:
  // attesa: how WaitForSingleObject waits; null: blocked.
  explicit ProcessesWin32(Attesa* attesa = nullptr) : attesa_(attesa) {}

  // A caller that waits opens the process by its identifier.
  std::uint32_t Shell(const std::string& commandLine, int windowStyle) override;
  HandleProcesso OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override;
  std::uint32_t WaitForSingleObject(HandleProcesso handle, std::uint32_t milliseconds) override;
  void CloseHandle(HandleProcesso handle) override;

  // The process in a job object of its own (when the tool's job allows it).
  HandleProcesso AvviaConHandle(const std::string& commandLine, int windowStyle) override;
  // The exit code of a process that has ended; false while it runs.
  bool GetExitCodeProcess(HandleProcesso handle, std::uint32_t& code) override;
  // Ends its job (else the process alone) and waits a moment for its end.
  void TerminateProcess(HandleProcesso handle) override;
  // The windows of the processes of its job (else of the process alone).
  std::vector<FinestraMostrata> FinestreMostrate(HandleProcesso handle) override;
  // The whole desktop, through GDI.
  bool SalvaSchermata(const std::string& percorso) override;

  // The window style a started program is shown with (STARTUPINFO's
  // wShowWindow): Visual Basic's Shell styles.
  static unsigned short MostraFinestra(int windowStyle);

 private:
  Attesa* attesa_;
};

}  // namespace cw
