#pragma once
// A desktop with one window, of the given title: there or not, active or
// not. Keys sent while it is not active would land in some other window.

#include <string>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "platform/keyboard.h"

namespace cw::test {

class TastieraFinta : public Keyboard {
 public:
  // eventi: "AppActivate:<title>[:attesa]", "IsActive", "SendKeys:<keys>[:attesa]", in order.
  TastieraFinta(std::string titolo, std::vector<std::string>& eventi) : titolo_(std::move(titolo)), eventi_(eventi) {}
  bool finestra = true;
  bool attiva = false;
  int tastiAltrove = 0;
  std::vector<std::string> inviati;

  void AppActivate(const std::string& title, bool wait) override {
    eventi_.push_back("AppActivate:" + title + (wait ? ":attesa" : ""));
    if (title != titolo_ || !finestra) SollevaErrore(kChiamataNonValida);
    attiva = true;
  }
  bool IsActive(const std::string& title) override {
    eventi_.push_back("IsActive");
    return finestra && attiva && title == titolo_;
  }
  void SendKeys(const std::string& keys, bool wait) override {
    eventi_.push_back("SendKeys:" + keys + (wait ? ":attesa" : ""));
    if (!finestra || !attiva) ++tastiAltrove;
    inviati.push_back(keys);
  }

 private:
  std::string titolo_;
  std::vector<std::string>& eventi_;
};

}  // namespace cw::test
