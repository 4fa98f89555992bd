#pragma once
// A Ui whose log costs nothing: the benchmarks measure the file work, not the
// window's repaint.

#include <string>

#include "base/ui.h"

namespace cw::bench {

class UiMuta : public Ui {
 public:
  void LogClear() override { righe_ = 0; }
  void LogAddItem(const std::string&) override { ++righe_; }
  int LogCount() const override { return righe_; }
  std::string LogItem(int) const override { return {}; }
  void LogSetItem(int, const std::string&) override {}
  void LogSelect(int) override {}
  void LogRefresh() override {}
  void LogSetFontName(const std::string&) override {}
  int MsgBox(const std::string&, int, const std::string&) override { return kRispostaOk; }
  void SetMousePointer(int) override {}
  void DoEvents() override {}

 private:
  int righe_ = 0;
};

}  // namespace cw::bench
