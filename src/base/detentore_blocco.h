#pragma once
// Who holds the prefix lock, as the holder writes it down beside the lock:
// the refused instance reads it back to say which command is at work and
// since when. A record is only a hint: one that is missing, cut or garbled
// reads as none, and the refusal says what it said before.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cw {

struct DetentoreBlocco {
  std::string programma;  // "compilawexo-batch", "compilawexo"
  std::string comando;    // "tutto", "registra", ...
  std::int64_t pid = 0;
  std::int64_t inizio = 0;  // seconds since 1970, UTC
  bool operator==(const DetentoreBlocco&) const = default;
};

// "programma=...", "comando=...", "pid=...", "inizio=..." lines ending LF.
std::string ScriviDetentore(const DetentoreBlocco& d);
// Every key once, names of printable ASCII up to 64 characters, a pid and a
// time that are positive numbers; anything else is none.
std::optional<DetentoreBlocco> LeggiDetentore(std::string_view testo);

// "compilawexo-batch tutto, dalle 10:42" in local time; a start on another
// day (or a clock that went back) gives the date too: "..., dal 09/12/2026
// alle 10:42".
std::string DescriviDetentore(const DetentoreBlocco& d, std::int64_t adesso);

}  // namespace cw
