#include "batch/console_ui.h"

namespace cw {
namespace {

bool Annunciata(const std::string& line) { return line.ends_with(" in corso..."); }

bool CompilazioneFallita(const std::string& line) {
  return line.find(") Compilazione ") != std::string::npos && line.ends_with(" in corso... ERRORE!");
}

}  // namespace

ConsoleUi::ConsoleUi(std::FILE* out, std::FILE* err, bool conferma, bool inPlace)
    : out_(out), err_(err), conferma_(conferma), inPlace_(inPlace) {}

ConsoleUi::~ConsoleUi() { Svuota(); }

void ConsoleUi::Scrivi(const std::string& testo) {
  if (outChiuso_) return;
  std::fwrite(testo.data(), 1, testo.size(), out_);
  // EPIPE once the reader has gone: the command goes on without its output.
  if (std::fflush(out_) != 0) outChiuso_ = true;
}

void ConsoleUi::Stampa(const std::string& line) { Scrivi((inPlace_ ? "\r\033[K" : "") + line + "\n"); }

void ConsoleUi::Svuota() {
  if (inAttesa_ >= 0) {
    Stampa(righe_[static_cast<size_t>(inAttesa_)]);
    inAttesa_ = -1;
  }
}

void ConsoleUi::LogClear() {
  Svuota();
  righe_.clear();
}

void ConsoleUi::LogAddItem(const std::string& line) {
  Svuota();
  righe_.push_back(line);
  if (Annunciata(line)) {
    inAttesa_ = static_cast<int>(righe_.size()) - 1;
    if (inPlace_) Scrivi("\r\033[K" + line);
  } else {
    Stampa(line);
  }
}

std::string ConsoleUi::LogItem(int index) const {
  if (index < 0 || index >= LogCount()) return {};
  return righe_[static_cast<size_t>(index)];
}

void ConsoleUi::LogSetItem(int index, const std::string& line) {
  if (index < 0 || index >= LogCount()) return;
  righe_[static_cast<size_t>(index)] = line;
  if (CompilazioneFallita(line)) compilazioneFallita_ = true;
  if (index == inAttesa_) {
    inAttesa_ = -1;
    Stampa(line);
  }
}

void ConsoleUi::Avvisa(const std::string& testo) {
  const bool inPlace = inPlace_ && inAttesa_ >= 0;
  if (inPlace) Scrivi("\r\033[K");
  const std::string riga = testo + "\n";
  std::fwrite(riga.data(), 1, riga.size(), err_);
  std::fflush(err_);
  if (inPlace) Scrivi(righe_[static_cast<size_t>(inAttesa_)]);
}

int ConsoleUi::MsgBox(const std::string& prompt, int style, const std::string& title) {
  // A box inside a step (a failed registration, a time-out) leaves the
  // step's line waiting: its conclusion is printed once, after the box. On a
  // terminal the line shown in place makes way for the box and comes back.
  const bool inPlace = inPlace_ && inAttesa_ >= 0;
  if (inPlace) Scrivi("\r\033[K");
  // Written with their length: a NUL from a file's bytes must not cut the text.
  const std::string riga = title + ": " + prompt + "\n";
  std::fwrite(riga.data(), 1, riga.size(), err_);
  std::fflush(err_);
  if (inPlace) Scrivi(righe_[static_cast<size_t>(inAttesa_)]);
  switch (style & 7) {
    case 1:  // OK / Cancel
      if (!conferma_) rifiutata_ = true;
      return conferma_ ? kRispostaOk : kRispostaAnnulla;
    case 4:  // Yes / No
      if (!conferma_) rifiutata_ = true;
      return conferma_ ? kRispostaSi : kRispostaNo;
    default: return kRispostaOk;
  }
}

}  // namespace cw
