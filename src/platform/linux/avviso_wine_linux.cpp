#include "platform/linux/avviso_wine_linux.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace cw {
namespace {

std::mutex& Mutex() {
  static std::mutex m;
  return m;
}

AvvisoAvvioWine& Avviso() {
  static AvvisoAvvioWine avviso;
  return avviso;
}

std::atomic<bool> primoVisto{false};

void Di(const std::filesystem::path& prefisso, bool inizio) {
  AvvisoAvvioWine avviso;
  {
    std::lock_guard<std::mutex> lock(Mutex());
    avviso = Avviso();
  }
  if (avviso) avviso(prefisso.string(), inizio);
}

}  // namespace

void ImpostaAvvisoAvvioWine(AvvisoAvvioWine avviso) {
  std::lock_guard<std::mutex> lock(Mutex());
  Avviso() = std::move(avviso);
  primoVisto = false;
}

AttesaAvvioWine::AttesaAvvioWine(std::filesystem::path prefisso)
    : prefisso_(std::move(prefisso)),
      osserva_(!primoVisto.exchange(true)),
      soglia_(std::chrono::steady_clock::now() + std::chrono::seconds(1)) {}

AttesaAvvioWine::~AttesaAvvioWine() {
  if (detto_) Di(prefisso_, false);
}

int AttesaAvvioWine::Limite(int ms) const {
  if (!osserva_ || detto_) return ms;
  const auto resto =
      std::chrono::duration_cast<std::chrono::milliseconds>(soglia_ - std::chrono::steady_clock::now()).count();
  const int fino = static_cast<int>(std::max<long long>(resto, 0)) + 1;
  return ms < 0 ? fino : std::min(ms, fino);
}

void AttesaAvvioWine::Controlla() {
  if (!osserva_ || detto_ || std::chrono::steady_clock::now() < soglia_) return;
  detto_ = true;
  Di(prefisso_, true);
}

}  // namespace cw
