#pragma once
// A small deterministic generator: the same seed gives the same sandbox on
// every machine (the standard distributions differ between libraries).

#include <cstdint>
#include <cstdio>
#include <string>

namespace cw::sandbox {

class Dado {
 public:
  explicit Dado(std::uint64_t seme) : stato_(seme * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}

  std::uint64_t Prossimo() {
    std::uint64_t z = (stato_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1
  int Tra(int n) { return n <= 0 ? 0 : static_cast<int>(Prossimo() % static_cast<std::uint64_t>(n)); }
  // True with the given chance in percent.
  bool Percento(int p) { return Tra(100) < p; }

  // "{8-4-4-4-12}" in upper case, as the development environment writes it.
  std::string Guid() {
    const std::uint64_t a = Prossimo(), b = Prossimo();
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>((a & 0x0FFF) | 0x4000),
                  static_cast<unsigned>(((b >> 48) & 0x3FFF) | 0x8000),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return buf;
  }

 private:
  std::uint64_t stato_;
};

}  // namespace cw::sandbox
