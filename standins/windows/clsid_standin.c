#include "clsid_standin.h"

#include <stdint.h>

/* 128-bit values as four 32-bit limbs, least significant first: the
 * 32-bit target has no 128-bit integer. */
static void moltiplica_per_primo(uint32_t h[4]) {
  /* The FNV prime is 2^88 + 0x13B: h * 0x13B plus h shifted left by 88. */
  uint32_t r[4];
  uint64_t riporto = 0;
  for (int i = 0; i < 4; ++i) {
    const uint64_t v = (uint64_t)h[i] * 0x13Bu + riporto;
    r[i] = (uint32_t)v;
    riporto = v >> 32;
  }
  /* Shifted by 88 = 2 limbs and 24 bits: only h[0] and h[1] reach r[2..3]. */
  const uint64_t s2 = (uint64_t)(h[0] << 24);
  const uint64_t s3 = (uint64_t)((h[1] << 24) | (h[0] >> 8));
  const uint64_t t2 = (uint64_t)r[2] + s2;
  r[2] = (uint32_t)t2;
  r[3] = (uint32_t)((uint64_t)r[3] + s3 + (t2 >> 32));
  for (int i = 0; i < 4; ++i) h[i] = r[i];
}

void standin_clsid(const char* nome, size_t lunghezza, char out[STANDIN_LUNGHEZZA_CLSID + 1]) {
  /* The FNV-1a offset basis 0x6C62272E07BB014262B821756295C58D. */
  uint32_t h[4] = {0x6295C58Du, 0x62B82175u, 0x07BB0142u, 0x6C62272Eu};
  for (size_t i = 0; i < lunghezza; ++i) {
    unsigned char c = (unsigned char)nome[i];
    if (c >= 'A' && c <= 'Z') c = (unsigned char)(c - 'A' + 'a');
    h[0] ^= c;
    moltiplica_per_primo(h);
  }
  static const char cifre[] = "0123456789ABCDEF";
  char esadecimale[32];
  for (int i = 0; i < 32; ++i) {
    const uint32_t limb = h[3 - i / 8];
    esadecimale[i] = cifre[(limb >> (28 - 4 * (i % 8))) & 0xF];
  }
  size_t j = 0;
  out[j++] = '{';
  for (int i = 0; i < 32; ++i) {
    if (i == 8 || i == 12 || i == 16 || i == 20) out[j++] = '-';
    out[j++] = esadecimale[i];
  }
  out[j++] = '}';
  out[j] = '\0';
}
