#pragma once
// The keystroke service over X11, through libxdo: finds a top-level window
// by its exact title, activates it (through the window manager where there
// is one, by the input focus where there is none) and types into whatever
// window has the focus, with XTEST.

#include <memory>
#include <string>
#include <vector>

#include "base/keystrokes.h"
#include "platform/keyboard.h"

namespace cw {

class KeyboardLinux : public Keyboard {
 public:
  // Accented letters were seen dropped when typed faster than this.
  static constexpr int kMinKeyDelayMs = 12;
  // How long a character missing from the keymap waits, once bound to a
  // spare key, for the receiving program to reload its keymap.
  static constexpr int kKeymapSettleMs = 100;

  // display: an X display name (":1"); empty takes $DISPLAY. The display is
  // opened at the first call, so a program without one starts all the same
  // and only this service fails, with error 5.
  explicit KeyboardLinux(std::string display = {}, int keyDelayMs = kMinKeyDelayMs);
  ~KeyboardLinux() override;
  KeyboardLinux(const KeyboardLinux&) = delete;
  KeyboardLinux& operator=(const KeyboardLinux&) = delete;

  void AppActivate(const std::string& title, bool wait) override;
  bool IsActive(const std::string& title) override;
  void SendKeys(const std::string& keys, bool wait) override;

  // How long the waiting form of AppActivate waits for the window to become
  // active before giving up with error 5.
  void SetActivationTimeoutMs(int ms) { activationTimeoutMs_ = ms; }

 private:
  struct Connection;
  Connection& Connect();
  void BindMissingCharacters(const std::vector<KeyEvent>& events);

  std::string display_;
  int keyDelayMs_;
  int activationTimeoutMs_ = 5000;
  std::unique_ptr<Connection> connection_;
};

}  // namespace cw
