#include "base/png.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace cw {
namespace {

std::uint32_t Crc32(std::string_view dati, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> kTabella = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (const unsigned char b : dati) crc = kTabella[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void Grande32(std::string& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out += static_cast<char>((v >> s) & 0xFF);
}

void Blocco(std::string& out, const char* tipo, std::string_view dati) {
  Grande32(out, static_cast<std::uint32_t>(dati.size()));
  std::string corpo(tipo, 4);
  corpo.append(dati);
  out += corpo;
  Grande32(out, Crc32(corpo));
}

// Bits in the order deflate reads them: the first bit is the lowest of the first byte.
class Bit {
 public:
  void Scrivi(std::uint32_t valore, int n) {
    for (int i = 0; i < n; ++i) Uno((valore >> i) & 1);
  }
  // A Huffman code goes out from its highest bit.
  void Codice(std::uint32_t codice, int n) {
    for (int i = n - 1; i >= 0; --i) Uno((codice >> i) & 1);
  }
  std::string Fine() {
    if (n_) out_ += static_cast<char>(byte_);
    return std::move(out_);
  }

 private:
  void Uno(std::uint32_t b) {
    byte_ |= b << n_;
    if (++n_ == 8) {
      out_ += static_cast<char>(byte_);
      byte_ = 0;
      n_ = 0;
    }
  }
  std::string out_;
  std::uint32_t byte_ = 0;
  int n_ = 0;
};

// The fixed literal/length code of a symbol 0..287.
void Simbolo(Bit& bit, int s) {
  if (s < 144)
    bit.Codice(0x30 + s, 8);
  else if (s < 256)
    bit.Codice(0x190 + s - 144, 9);
  else if (s < 280)
    bit.Codice(s - 256, 7);
  else
    bit.Codice(0xC0 + s - 280, 8);
}

constexpr int kBaseLunghezza[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kExtraLunghezza[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kBaseDistanza[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                 33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kExtraDistanza[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                  6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Ripetizione(Bit& bit, int lunghezza, int distanza) {
  int i = 28;
  while (kBaseLunghezza[i] > lunghezza) --i;
  Simbolo(bit, 257 + i);
  bit.Scrivi(static_cast<std::uint32_t>(lunghezza - kBaseLunghezza[i]), kExtraLunghezza[i]);
  int d = 29;
  while (kBaseDistanza[d] > distanza) --d;
  bit.Codice(static_cast<std::uint32_t>(d), 5);
  bit.Scrivi(static_cast<std::uint32_t>(distanza - kBaseDistanza[d]), kExtraDistanza[d]);
}

// One fixed-code block over all of the data. At each position the longest
// repeat is sought at the given distances (the pixel before, the row above:
// where a screen repeats itself) and where its three bytes were last seen,
// a few places down that chain, within the 32 KiB window.
std::string Deflate(std::string_view dati, std::initializer_list<size_t> distanze) {
  constexpr int kFinestra = 32768, kMassimo = 258, kCatena = 16;
  constexpr std::uint32_t kHash = 1u << 15;
  std::vector<int> testa(kHash, -1);
  std::vector<int> precedente(dati.size(), -1);
  auto hash = [&](size_t i) {
    const auto b = [&](size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(dati[k])); };
    return ((b(i) << 10) ^ (b(i + 1) << 5) ^ b(i + 2)) & (kHash - 1);
  };
  auto inserisci = [&](size_t i) {
    if (i + 2 >= dati.size()) return;
    const std::uint32_t h = hash(i);
    precedente[i] = testa[h];
    testa[h] = static_cast<int>(i);
  };
  Bit bit;
  bit.Scrivi(1, 1);  // the last block
  bit.Scrivi(1, 2);  // fixed codes
  size_t i = 0;
  while (i < dati.size()) {
    int migliore = 0, distanza = 0;
    if (i + 2 < dati.size()) {
      const size_t massimo = std::min<size_t>(kMassimo, dati.size() - i);
      auto prova = [&](size_t da) {
        size_t n = 0;
        while (n < massimo && dati[da + n] == dati[i + n]) ++n;
        if (static_cast<int>(n) > migliore) {
          migliore = static_cast<int>(n);
          distanza = static_cast<int>(i - da);
        }
      };
      for (const size_t d : distanze)
        if (d > 0 && d <= kFinestra && d <= i) prova(i - d);
      int candidato = testa[hash(i)];
      for (int passi = 0; candidato >= 0 && passi < kCatena && migliore < kMassimo;
           ++passi, candidato = precedente[candidato]) {
        const size_t da = static_cast<size_t>(candidato);
        if (i - da > kFinestra) break;
        prova(da);
      }
    }
    if (migliore >= 3) {
      Ripetizione(bit, migliore, distanza);
      for (int k = 0; k < migliore; ++k) inserisci(i + static_cast<size_t>(k));
      i += static_cast<size_t>(migliore);
    } else {
      Simbolo(bit, static_cast<unsigned char>(dati[i]));
      inserisci(i);
      ++i;
    }
  }
  Simbolo(bit, 256);
  return bit.Fine();
}

std::uint32_t Adler32(std::string_view dati) {
  std::uint32_t a = 1, b = 0;
  for (const unsigned char c : dati) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

}  // namespace

std::string CodificaPng(std::uint32_t larghezza, std::uint32_t altezza, std::string_view rgb) {
  const std::uint64_t riga = std::uint64_t{larghezza} * 3;
  if (larghezza == 0 || altezza == 0 || riga * altezza != rgb.size()) return {};
  // Each row after its filter byte, 0: the pixels as they are.
  std::string righe;
  righe.reserve(static_cast<size_t>((riga + 1) * altezza));
  for (std::uint32_t y = 0; y < altezza; ++y) {
    righe += '\0';
    righe.append(rgb.substr(static_cast<size_t>(riga * y), static_cast<size_t>(riga)));
  }
  std::string zlib("\x78\x01", 2);
  zlib += Deflate(righe, {3, static_cast<size_t>(riga) + 1});
  Grande32(zlib, Adler32(righe));

  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string intestazione;
  Grande32(intestazione, larghezza);
  Grande32(intestazione, altezza);
  intestazione += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter choice, no interlace
  Blocco(png, "IHDR", intestazione);
  Blocco(png, "IDAT", zlib);
  Blocco(png, "IEND", {});
  return png;
}

}  // namespace cw
