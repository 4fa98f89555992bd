#pragma once
// Why a library file cannot be loaded, read from its headers: a file cut
// short, a Windows library of the other bitness than the registrar's (a
// 32-bit loader takes no 64-bit library, nor the reverse), or something that
// is no library at all. The workers ask once their loader has refused a file,
// to tell the user more than the loader's code; the Linux worker also asks
// before it loads (a file cut short would crash the loader), and the channel
// before it starts a worker for a file the agent's loader could not take. The
// bytes come from whoever asks (each reads the file its own way); only the C
// library is used: the Linux worker stays light.

#include <stddef.h>
#include <stdint.h>

#include "base/intestazione_pe.h"
#include "registration/protocollo_worker.h"

namespace cw::worker {

// How much of the start of a file is looked at: the headers of every library
// the tool meets lie well within it.
inline constexpr size_t kTestaEsaminata = 4096;

namespace dettaglio {

inline uint32_t Le16(const unsigned char* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t Le64(const unsigned char* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }

// A PE file: its headers, and its sections' data, must lie within the file,
// and it must be of the registrar's bitness (bit).
inline const char* MotivoPe(const unsigned char* testa, size_t n, uint64_t dimensione, int bit) {
  if (dimensione < 0x40 || n < 0x40) return kMotivoTroncata;
  const uint64_t pe = Le32(testa + 0x3C);
  if (pe + 24 > dimensione) return kMotivoTroncata;
  if (pe + 24 > n) return nullptr;  // headers beyond what was read: the loader knows
  const unsigned char* intestazione = testa + pe;
  if (intestazione[0] != 'P' || intestazione[1] != 'E' || intestazione[2] || intestazione[3]) return kMotivoNonLibreria;
  const uint64_t sezioni = Le16(intestazione + 6);
  const uint64_t opzionale = Le16(intestazione + 20);
  const uint64_t tabella = pe + 24 + opzionale;
  if (tabella + sezioni * 40 > dimensione) return kMotivoTroncata;
  if (tabella + sezioni * 40 <= n) {
    for (uint64_t i = 0; i < sezioni; ++i) {
      const unsigned char* s = testa + tabella + i * 40;
      const uint64_t grandezza = Le32(s + 16), inizio = Le32(s + 20);
      if (grandezza > 0 && inizio + grandezza > dimensione) return kMotivoTroncata;
    }
  }
  const int suoi = BitPe(testa, n);
  if (suoi != 0 && suoi != bit) return suoi == 64 ? kMotivo64Bit : kMotivo32Bit;
  // IMAGE_FILE_DLL: a program is no library.
  if (!(Le16(intestazione + 22) & 0x2000)) return kMotivoNonLibreria;
  return nullptr;
}

// A little-endian ELF file: its program headers, and the data of the
// segments the loader maps, must lie within the file. (Its sections are no
// matter: a copy cut short in its debugging data still loads; one cut in a
// mapped segment would crash the loader, which is why the Linux worker asks
// before it loads.)
inline const char* MotivoElf(const unsigned char* testa, size_t n, uint64_t dimensione) {
  const bool a64 = n > 4 && testa[4] == 2;
  const size_t lunghezza = a64 ? 64 : 52;
  if (dimensione < lunghezza || n < lunghezza) return kMotivoTroncata;
  if (testa[5] != 1) return nullptr;
  const uint64_t ph = a64 ? Le64(testa + 32) : Le32(testa + 28);
  const unsigned char* conteggi = testa + (a64 ? 54 : 42);
  const uint64_t voce = Le16(conteggi), numero = Le16(conteggi + 2);
  if (numero == 0) return nullptr;
  if (voce < (a64 ? 56u : 32u) || ph + voce * numero > dimensione) return kMotivoTroncata;
  if (ph + voce * numero > n) return nullptr;
  for (uint64_t i = 0; i < numero; ++i) {
    const unsigned char* h = testa + ph + i * voce;
    if (Le32(h) != 1) continue;  // PT_LOAD only
    const uint64_t inizio = a64 ? Le64(h + 8) : Le32(h + 4);
    const uint64_t grandezza = a64 ? Le64(h + 32) : Le32(h + 16);
    if (inizio + grandezza > dimensione) return kMotivoTroncata;
  }
  return nullptr;
}

}  // namespace dettaglio

// What the first n bytes of a file of the given size tell: kMotivoTroncata,
// kMotivo64Bit or kMotivo32Bit (a Windows library of the other bitness than
// bitRegistratore's), kMotivoNonLibreria, or null when the headers are whole
// and of a library the loader could take. An ELF file counts as a library
// only where elfAmmesso (the Linux worker); for Windows only "MZ" ones do.
inline const char* MotivoDallIntestazione(const unsigned char* testa, size_t n, uint64_t dimensione, bool elfAmmesso,
                                          int bitRegistratore) {
  // An empty file is one whose writing was cut short.
  if (dimensione == 0 || n == 0) return kMotivoTroncata;
  if (n >= 2 && testa[0] == 'M' && testa[1] == 'Z') return dettaglio::MotivoPe(testa, n, dimensione, bitRegistratore);
  if (n >= 4 && testa[0] == 0x7F && testa[1] == 'E' && testa[2] == 'L' && testa[3] == 'F')
    return elfAmmesso ? dettaglio::MotivoElf(testa, n, dimensione) : kMotivoNonLibreria;
  return kMotivoNonLibreria;
}

}  // namespace cw::worker
