#pragma once
// Starting programs from a Windows command line and waiting for them.

#include <cstdint>
#include <string>
#include <vector>

namespace cw {

// Window styles handed to a started program.
enum StileFinestra : int { kFinestraNascosta = 0, kFinestraNormale = 1, kFinestraRidotta = 2 };

inline constexpr std::uint32_t kProcessAllAccess = 0x1F0FFF;
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

using HandleProcesso = std::intptr_t;  // 0: no handle

// A top-level window a process shows, as read when a wait for it has passed
// its limit: its caption and the texts of its controls (a dialog's static
// texts and button captions), in UTF-8.
struct FinestraMostrata {
  std::string titolo;
  std::vector<std::string> testi;
  bool operator==(const FinestraMostrata&) const = default;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts the command line and returns the new process's identifier. A
  // program that cannot be found or started raises error 53. A process that
  // is never waited for is still reaped when it ends.
  virtual std::uint32_t Shell(const std::string& commandLine, int windowStyle) = 0;
  // 0 when the process cannot be opened (it has already ended and been reaped,
  // or the identifier is not one of ours).
  virtual HandleProcesso OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) = 0;
  // kWaitObject0 when the process has ended, kWaitTimeout, or kWaitFailed.
  virtual std::uint32_t WaitForSingleObject(HandleProcesso handle, std::uint32_t milliseconds) = 0;
  virtual void CloseHandle(HandleProcesso handle) = 0;

  // Starts the command line as Shell does and returns a handle to the new
  // process, held from its start so that its exit code cannot be lost
  // however soon it ends. Whatever the process starts can be ended with it
  // (TerminateProcess). Raises error 53 as Shell does.
  virtual HandleProcesso AvviaConHandle(const std::string& commandLine, int windowStyle) = 0;
  // The exit code of a process that has ended; false while it runs or for
  // an unknown handle.
  virtual bool GetExitCodeProcess(HandleProcesso handle, std::uint32_t& code) = 0;
  // Ends the process of a handle from AvviaConHandle with whatever it
  // started, and waits for its end; nothing for one that has already ended.
  virtual void TerminateProcess(HandleProcesso handle) = 0;

  // The windows that the process of a running handle, and what it started,
  // show; none where they show none or the platform cannot read them (a
  // program of the host's own, with no windows of this kind).
  virtual std::vector<FinestraMostrata> FinestreMostrate(HandleProcesso /*handle*/) { return {}; }
  // The whole screen saved as a PNG file at the Windows path; false where
  // no screen is there or the file cannot be written.
  virtual bool SalvaSchermata(const std::string& /*percorso*/) { return false; }
};

}  // namespace cw
