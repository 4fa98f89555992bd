#pragma once
// The bitness of a Windows program or library, from its first bytes: the
// machine of its PE header (x86: 32; x64, ARM64, Itanium: 64), or the PE32+
// optional header whatever the machine says. Only the C library: the
// workers include it too.

#include <stddef.h>
#include <stdint.h>

namespace cw {

// 32, 64, or 0 when the bytes are no PE file or its header lies beyond n.
inline int BitPe(const unsigned char* testa, size_t n) {
  if (n < 0x40 || testa[0] != 'M' || testa[1] != 'Z') return 0;
  const uint64_t pe = static_cast<uint64_t>(testa[0x3C]) | static_cast<uint64_t>(testa[0x3D]) << 8 |
                      static_cast<uint64_t>(testa[0x3E]) << 16 | static_cast<uint64_t>(testa[0x3F]) << 24;
  if (pe + 26 > n) return 0;
  const unsigned char* h = testa + pe;
  if (h[0] != 'P' || h[1] != 'E' || h[2] || h[3]) return 0;
  const unsigned macchina = static_cast<unsigned>(h[4] | h[5] << 8);
  const unsigned opzionale = static_cast<unsigned>(h[20] | h[21] << 8);
  if (macchina == 0x8664 || macchina == 0xAA64 || macchina == 0x0200) return 64;
  if (opzionale >= 2 && (h[24] | h[25] << 8) == 0x20B) return 64;
  return 32;
}

}  // namespace cw
