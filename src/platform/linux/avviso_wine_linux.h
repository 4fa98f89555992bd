#pragma once
// The wait for the first Windows program the tool starts under Wine: past one
// second the front end is told (platform/avvio_wine.h), once, and again when
// the program has started. Later starts find Wine running and are not watched.

#include <chrono>
#include <filesystem>

#include "platform/avvio_wine.h"

namespace cw {

// Set by the platform's factory; none: nobody is told. The next start is
// then the first again.
void ImpostaAvvisoAvvioWine(AvvisoAvvioWine avviso);

class AttesaAvvioWine {
 public:
  // Watches the wait only when it is the first start of the tool's life.
  explicit AttesaAvvioWine(std::filesystem::path prefisso);
  // Tells the end of the wait, when its start was told.
  ~AttesaAvvioWine();
  AttesaAvvioWine(const AttesaAvvioWine&) = delete;
  AttesaAvvioWine& operator=(const AttesaAvvioWine&) = delete;

  // A wait's time limit in milliseconds (-1: none), shortened so the second
  // is seen to pass.
  int Limite(int ms) const;
  // After each turn of the wait: once the second has passed, the front end is told.
  void Controlla();

 private:
  std::filesystem::path prefisso_;
  bool osserva_ = false;
  bool detto_ = false;
  std::chrono::steady_clock::time_point soglia_;
};

}  // namespace cw
