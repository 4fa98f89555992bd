#pragma once
// The terminal handed to a program shown in front, as a shell hands it to
// its foreground job, and taken back when its wait ends.

#include <sys/types.h>

namespace cw {

// A viewer such as less reads its keys on the terminal, and in a group of
// its own it could not. Only when the tool is in front on its terminal.
class TerminaleCeduto {
 public:
  TerminaleCeduto(bool primoPiano, pid_t gruppo);
  ~TerminaleCeduto();
  TerminaleCeduto(const TerminaleCeduto&) = delete;
  TerminaleCeduto& operator=(const TerminaleCeduto&) = delete;
  // The terminal, -1 when it was not handed over.
  int Descrittore() const { return fd_; }
  // The group stopped from the terminal (Ctrl+Z) while it held it: the tool
  // stops as a shell's job would, and once continued hands the terminal back
  // to it.
  void RiprendiSeFermato();

 private:
  pid_t gruppo_;
  int fd_ = -1;
};

}  // namespace cw
