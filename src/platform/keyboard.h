#pragma once
// Activating another program's window by its title and typing into it.

#include <string>

namespace cw {

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Brings the top-level window with exactly this title to the front and
  // gives it the input focus. No such window: error 5.
  virtual void AppActivate(const std::string& title, bool wait) = 0;
  // True when the active window is the one with exactly this title.
  virtual bool IsActive(const std::string& title) = 0;
  // Types a keystroke string in the original notation ("{ENTER}", "+", "^",
  // "%", "~", braces, parentheses) into the active window; with wait, returns
  // once the keys have been sent.
  virtual void SendKeys(const std::string& keys, bool wait) = 0;
};

}  // namespace cw
