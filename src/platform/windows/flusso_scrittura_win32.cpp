#include "platform/windows/flusso_scrittura_win32.h"

#include <windows.h>

#include <algorithm>

#include "base/errors.h"
#include "platform/windows/errori_win32.h"

namespace cw {
namespace {

constexpr size_t kLimiteBuffer = 64 * 1024;

// A stream used in the wrong direction: a caller's mistake, not a disk's.
[[noreturn]] void DirezioneSbagliata(const char* cosa) { SollevaErrore(kChiamataNonValida, cosa); }

}  // namespace

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
