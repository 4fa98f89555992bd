#pragma once
// A Ui that records every call, keeps the log as a list of lines and answers
// message boxes from a queue (OK when the queue is empty).

#include <deque>
#include <string>
#include <vector>

#include "base/ui.h"

namespace cw::test {

struct Messaggio {
  std::string testo;
  int stile;
  std::string titolo;
};

class UiRegistrata : public Ui {
 public:
  std::vector<std::string> log;
  int selezionata = -1;
  std::string font = "Tahoma";
  int puntatore = 0;
  std::vector<int> puntatori;       // every pointer set, in order
  std::vector<Messaggio> messaggi;  // every box shown, in order
  std::deque<int> risposte;         // answers for the next boxes
  std::vector<std::string>
      eventi;  // "clear", "add:...", "set:i:...", "select:i", "refresh", "font:...", "msg:...", "pointer:n", "doevents"
  int repaint = 0;
  int doevents = 0;

  void LogClear() override {
    log.clear();
    selezionata = -1;
    eventi.push_back("clear");
  }
  void LogAddItem(const std::string& line) override {
    log.push_back(line);
    eventi.push_back("add:" + line);
  }
  int LogCount() const override { return static_cast<int>(log.size()); }
  std::string LogItem(int i) const override { return log.at(static_cast<size_t>(i)); }
  void LogSetItem(int i, const std::string& line) override {
    log.at(static_cast<size_t>(i)) = line;
    eventi.push_back("set:" + std::to_string(i) + ":" + line);
  }
  void LogSelect(int i) override {
    selezionata = i;
    eventi.push_back("select:" + std::to_string(i));
  }
  void LogRefresh() override {
    ++repaint;
    eventi.push_back("refresh");
  }
  void LogSetFontName(const std::string& name) override {
    font = name;
    eventi.push_back("font:" + name);
  }
  int MsgBox(const std::string& prompt, int style, const std::string& title) override {
    messaggi.push_back({prompt, style, title});
    eventi.push_back("msg:" + title + ":" + prompt);
    if (risposte.empty()) return style == kStileSiNoDomanda ? kRispostaSi : kRispostaOk;
    const int r = risposte.front();
    risposte.pop_front();
    return r;
  }
  void SetMousePointer(int p) override {
    puntatore = p;
    puntatori.push_back(p);
    eventi.push_back("pointer:" + std::to_string(p));
  }
  void DoEvents() override {
    ++doevents;
    eventi.push_back("doevents");
  }
};

}  // namespace cw::test
