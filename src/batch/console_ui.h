#pragma once
// The window's face on a terminal: log lines on standard output as they
// become final, message boxes on standard error as "Titolo: testo",
// questions answered by the command line's options.

#include <cstdio>
#include <string>
#include <vector>

#include "base/ui.h"

namespace cw {

class ConsoleUi : public Ui {
 public:
  // conferma: the answer to questions (OK / Yes when true, Cancel / No when
  // false). inPlace: show an announced line while its step runs (terminals).
  ConsoleUi(std::FILE* out, std::FILE* err, bool conferma, bool inPlace);
  ~ConsoleUi() override;

  void LogClear() override;
  void LogAddItem(const std::string& line) override;
  int LogCount() const override { return static_cast<int>(righe_.size()); }
  std::string LogItem(int index) const override;
  void LogSetItem(int index, const std::string& line) override;
  void LogSelect(int) override {}
  void LogRefresh() override {}
  void LogSetFontName(const std::string&) override {}
  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  void SetMousePointer(int) override {}
  void DoEvents() override {}

  // Prints a line still waiting for its final text as it stands (a command
  // stopped by an error leaves its row " in corso...").
  void Svuota();
  // A line on standard error that is no box (Wine's first start), printed as
  // a box is, around a line shown in place.
  void Avvisa(const std::string& testo);
  bool UnaDomandaRifiutata() const { return rifiutata_; }
  // A build's row was concluded " in corso... ERRORE!".
  bool UnaCompilazioneFallita() const { return compilazioneFallita_; }

 private:
  void Stampa(const std::string& line);
  // Writes to the output until it is found closed, then nothing more.
  void Scrivi(const std::string& testo);

  std::FILE* out_;
  std::FILE* err_;
  bool conferma_;
  bool inPlace_;
  bool rifiutata_ = false;
  bool compilazioneFallita_ = false;
  bool outChiuso_ = false;
  std::vector<std::string> righe_;
  int inAttesa_ = -1;  // index of the announced line not yet printed
};

}  // namespace cw
