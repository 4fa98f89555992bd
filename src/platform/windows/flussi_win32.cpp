#include "platform/windows/flussi_win32.h"

#include <windows.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/windows/errori_win32.h"

namespace cw {
namespace {

constexpr size_t kLimiteBuffer = 64 * 1024;

// A stream used in the wrong direction: a caller's mistake, not a disk's.
[[noreturn]] void DirezioneSbagliata(const char* cosa) { SollevaErrore(kChiamataNonValida, cosa); }

}  // namespace

void FlussoLetturaWin32::ControllaAperto() const {
  if (chiuso_) SollevaErrore(kNomeFileNonValido, "stream already closed");
}

bool FlussoLetturaWin32::AtEndOfStream() {
  ControllaAperto();
  return pos_ >= dati_.size();
}

std::string FlussoLetturaWin32::ReadLine() {
  ControllaAperto();
  if (pos_ >= dati_.size()) SollevaErrore(kInputOltreFine);
  // CR LF, LF and a lone CR each end a line, as in the Linux stream.
  const size_t fine = std::min(dati_.find_first_of("\r\n", pos_), dati_.size());
  std::string riga = dati_.substr(pos_, fine - pos_);
  pos_ = fine;
  if (pos_ < dati_.size() && dati_[pos_++] == '\r' && pos_ < dati_.size() && dati_[pos_] == '\n') ++pos_;
  return riga;
}

std::string FlussoLetturaWin32::ReadAll() {
  ControllaAperto();
  std::string resto = dati_.substr(pos_);
  pos_ = dati_.size();
  return resto;
}

void FlussoLetturaWin32::WriteLine(std::string_view) {
  ControllaAperto();
  DirezioneSbagliata("WriteLine on a stream open for reading");
}

void FlussoLetturaWin32::Write(std::string_view) {
  ControllaAperto();
  DirezioneSbagliata("Write on a stream open for reading");
}

void FlussoLetturaWin32::Close() {
  ControllaAperto();
  chiuso_ = true;
  std::string().swap(dati_);
}

FlussoScritturaWin32::~FlussoScritturaWin32() {
  if (chiuso_) return;
  // Whatever was written before the command stopped reaches the file.
  Svuota();
  CloseHandle(handle_);
}

void FlussoScritturaWin32::ControllaAperto() const {
  if (chiuso_) SollevaErrore(kNomeFileNonValido, "stream already closed");
}

bool FlussoScritturaWin32::AtEndOfStream() {
  ControllaAperto();
  DirezioneSbagliata("AtEndOfStream on a stream open for writing");
}

std::string FlussoScritturaWin32::ReadLine() {
  ControllaAperto();
  DirezioneSbagliata("ReadLine on a stream open for writing");
}

std::string FlussoScritturaWin32::ReadAll() {
  ControllaAperto();
  DirezioneSbagliata("ReadAll on a stream open for writing");
}

void FlussoScritturaWin32::WriteLine(std::string_view text) {
  ControllaAperto();
  buffer_.append(text);
  buffer_.append("\r\n");
  ScriviSePieno();
}

void FlussoScritturaWin32::Write(std::string_view text) {
  ControllaAperto();
  buffer_.append(text);
  ScriviSePieno();
}

void FlussoScritturaWin32::ScriviSePieno() {
  if (buffer_.size() < kLimiteBuffer) return;
  if (const unsigned long err = Svuota()) SollevaErroreWin32(err, false, "WriteFile", percorso_);
}

unsigned long FlussoScritturaWin32::Svuota() {
  unsigned long err = 0;
  std::string_view resto = buffer_;
  while (!resto.empty()) {
    DWORD scritti = 0;
    const DWORD n = static_cast<DWORD>(std::min<size_t>(resto.size(), 1u << 30));
    if (!WriteFile(handle_, resto.data(), n, &scritti, nullptr)) {
      err = GetLastError();
      break;
    }
    if (scritti == 0) {
      err = ERROR_WRITE_FAULT;
      break;
    }
    resto.remove_prefix(scritti);
  }
  buffer_.clear();
  return err;
}

void FlussoScritturaWin32::Close() {
  ControllaAperto();
  chiuso_ = true;
  const unsigned long err = Svuota();
  const unsigned long errChiusura = CloseHandle(handle_) ? 0 : GetLastError();
  if (err) SollevaErroreWin32(err, false, "WriteFile", percorso_);
  if (errChiusura) SollevaErroreWin32(errChiusura, false, "CloseHandle", percorso_);
}

}  // namespace cw
