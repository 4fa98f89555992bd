#pragma once
// How the tool's thread waits while a program it started runs: blocked (the
// batch front end), or, in the window, running the event pump meanwhile, so
// that it keeps painting and answering the desktop.

#include <cstddef>
#include <cstdint>

namespace cw {

// What a wait can be for, as the host names it: on Linux a descriptor, ready
// once it can be read or is closed; on Windows a HANDLE, ready once signalled.
using OggettoAttesa = std::intptr_t;

// The time limit of a wait that has none.
inline constexpr int kAttesaSenzaLimite = -1;
// The answers of Aspetta that are no object's index.
inline constexpr int kAttesaScaduta = -1;
inline constexpr int kAttesaFallita = -2;

class Attesa {
 public:
  virtual ~Attesa() = default;
  // Until one of the n objects is ready or ms milliseconds pass (a negative
  // time: no limit): the index of a ready one, kAttesaScaduta, or
  // kAttesaFallita with the host's error set (errno, GetLastError); on Linux
  // a signal that arrives meanwhile fails the wait with EINTR.
  virtual int Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) = 0;
};

}  // namespace cw
