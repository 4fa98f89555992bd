#pragma once
// The keystroke service over the desktop's own calls: FindWindowW finds the
// top-level window by its exact title, SetForegroundWindow activates it, and
// SendInput types the keys the notation stands for into whatever window has
// the focus.

#include <string>

#include "platform/keyboard.h"

namespace cw {

class KeyboardWin32 : public Keyboard {
 public:
  void AppActivate(const std::string& title, bool wait) override;
  bool IsActive(const std::string& title) override;
  void SendKeys(const std::string& keys, bool wait) override;

  // How long the waiting form of AppActivate waits for the window to become
  // active before giving up with error 5.
  void SetActivationTimeoutMs(int ms) { attesaAttivazioneMs_ = ms; }

 private:
  int attesaAttivazioneMs_ = 5000;
};

}  // namespace cw
