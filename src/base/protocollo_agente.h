#pragma once
// The line protocol between the tool and its worker programs: the Linux
// registration worker, and the agent, the one Windows program of ours that
// serves everything the tool does for Windows programs (under Wine, and the
// registration worker on Windows). One framing for all: the registration's
// words are in registration/protocollo_worker.h, the programs' here.
// Constants only: the programs use the C library and the Win32 API alone.
//
// A worker writes kPronto once started, then reads requests on its standard
// input, one a line: a verb, then each argument after a tab. It answers each
// on its standard output, one line per step, each a word optionally followed
// by a blank and a detail; some words end the answer. It serves requests
// until its input ends, or, when its kPronto line has the detail kProntoUna,
// one request only, and then ends. Lines end with LF alone (a CR before it
// is dropped), empty request lines are skipped.
//
// Programs (the agent only). A started program is named by the number the
// agent gives it; texts travel as hex of their UTF-8 bytes, so no code page,
// no tab and no line end inside a text can touch the protocol.
//   kAvvia <hex program> <hex command line> <style>
//       starts the program (a host path under Wine, converted to the
//       prefix's drives; else a Windows path) with exactly that command line,
//       the window style (0 hidden, 1 normal, 2 minimized) and the NUL device
//       for its standard handles, in a job that ends with the agent:
//       kAvviato <number>, or kAvvioFallito <Windows error code> <hex message>.
//   kAttendi <number> <milliseconds>
//       waits that long at most (kSenzaLimite: until it ends):
//       kFinito <exit code>, kInCorso, or kSconosciuto.
//   kFinestre <number>
//       the windows its processes show: kFinestra <hex caption>, then a
//       kTesto <hex text> for each of its controls' texts, for each window,
//       then kFine.
//   kTermina <number>   ends it and all it started: kTerminato (or kSconosciuto).
//   kChiudi <number>    forgets it once it has ended: kChiuso (or kSconosciuto).

#include <string>
#include <string_view>

namespace cw::worker {

inline constexpr char kSeparatore = '\t';  // before each argument of a request

inline constexpr const char* kPronto = "pronto";  // started, ready for requests
inline constexpr const char* kProntoUna = "una";  // kPronto's detail: one request, then the worker ends

inline constexpr const char* kAvvia = "avvia";
inline constexpr const char* kAttendi = "attendi";
inline constexpr const char* kFinestre = "finestre";
inline constexpr const char* kTermina = "termina";
inline constexpr const char* kChiudi = "chiudi";

inline constexpr const char* kAvviato = "avviato";
inline constexpr const char* kAvvioFallito = "avvio-fallito";
inline constexpr const char* kFinito = "finito";
inline constexpr const char* kInCorso = "in-corso";
inline constexpr const char* kSconosciuto = "sconosciuto";
inline constexpr const char* kFinestra = "finestra";
inline constexpr const char* kTesto = "testo";
inline constexpr const char* kFine = "fine";
inline constexpr const char* kTerminato = "terminato";
inline constexpr const char* kChiuso = "chiuso";

// kAttendi's milliseconds for a wait without a limit.
inline constexpr unsigned long kSenzaLimite = 0xFFFFFFFFul;

inline std::string Esadecimale(std::string_view testo) {
  static constexpr char kCifre[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(testo.size() * 2);
  for (const unsigned char c : testo) {
    hex += kCifre[c >> 4];
    hex += kCifre[c & 15];
  }
  return hex;
}

// The bytes back; false for an odd length or a character that is no hex digit.
inline bool DaEsadecimale(std::string_view hex, std::string& testo) {
  auto cifra = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2) return false;
  testo.clear();
  testo.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int alta = cifra(hex[i]), bassa = cifra(hex[i + 1]);
    if (alta < 0 || bassa < 0) return false;
    testo += static_cast<char>(alta * 16 + bassa);
  }
  return true;
}

}  // namespace cw::worker
