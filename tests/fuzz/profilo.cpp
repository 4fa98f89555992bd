// The private-profile reader and writer over any bytes as the file.
//
// Input: section NUL key NUL value NUL file-bytes. The file is read for the
// key with several buffer sizes, then the key is written and the file
// compared with what it was: every line but the key's own stays byte for
// byte, the value reads back, and nothing else is left in the folder.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/ansi.h"
#include "fuzz/bersagli.h"
#include "fuzz/comune.h"
#include "platform/linux/profilo_linux.h"

namespace cw::fuzz {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view Senza(std::string_view s, bool (*via)(char)) {
  while (!s.empty() && via(s.front())) s.remove_prefix(1);
  while (!s.empty() && via(s.back())) s.remove_suffix(1);
  return s;
}
bool Spazio(char c) { return c == ' '; }

// The file as its pieces: a byte-order mark, lines each with its own end
// (CR LF, CR or LF), and an odd last byte of a UTF-16 file. In a UTF-16 file
// the ends are two-byte units.
struct Pezzi {
  bool utf16 = false;
  std::vector<std::string> righe;  // with their ends
};

Pezzi Taglia(const std::string& g) {
  Pezzi p;
  p.utf16 = g.size() >= 2 && g[0] == '\xFF' && g[1] == '\xFE';
  const size_t passo = p.utf16 ? 2 : 1;
  size_t i = 0;
  if (p.utf16) {
    p.righe.push_back(g.substr(0, 2));
    i = 2;
  }
  const size_t fine = p.utf16 ? 2 + (g.size() - 2) / 2 * 2 : g.size();
  const auto unita = [&](size_t k) -> unsigned {
    return p.utf16 ? static_cast<unsigned char>(g[k]) | static_cast<unsigned>(static_cast<unsigned char>(g[k + 1])) << 8
                   : static_cast<unsigned char>(g[k]);
  };
  size_t inizio = i;
  while (i < fine) {
    const unsigned u = unita(i);
    if (u == '\n' || u == '\r') {
      i += passo;
      if (u == '\r' && i < fine && unita(i) == '\n') i += passo;
      p.righe.push_back(g.substr(inizio, i - inizio));
      inizio = i;
    } else {
      i += passo;
    }
  }
  if (inizio < fine) p.righe.push_back(g.substr(inizio, fine - inizio));
  if (fine < g.size()) p.righe.push_back(g.substr(fine));
  return p;
}

// A line's text as code units without its line end: bytes of an ANSI file,
// UTF-16 units of a UTF-16 one.
std::u32string Unita(const std::string& riga, bool utf16) {
  std::u32string t;
  if (!utf16) {
    for (const char c : riga) t += static_cast<char32_t>(static_cast<unsigned char>(c));
  } else {
    for (size_t k = 0; k + 1 < riga.size(); k += 2)
      t += static_cast<char32_t>(static_cast<unsigned char>(riga[k]) | static_cast<unsigned char>(riga[k + 1]) << 8);
  }
  while (!t.empty() && (t.back() == U'\n' || t.back() == U'\r')) t.pop_back();
  return t;
}

// A name in the code page as the units a file of that encoding holds.
std::u32string UnitaNome(std::string_view ansi, bool utf16) {
  std::u32string t;
  if (!utf16) {
    for (const char c : ansi) t += static_cast<char32_t>(static_cast<unsigned char>(c));
    return t;
  }
  const std::string u = AnsiToUtf8(ansi);  // every character of the code page is in the BMP
  for (size_t i = 0; i < u.size();) {
    const auto b = static_cast<unsigned char>(u[i]);
    const size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
    char32_t cp = len == 1 ? b : len == 2 ? b & 0x1Fu : b & 0x0Fu;
    for (size_t k = 1; k < len; ++k) cp = cp << 6 | (static_cast<unsigned char>(u[i + k]) & 0x3Fu);
    t += cp;
    i += len;
  }
  return t;
}

std::u32string_view SenzaBlank(std::u32string_view s) {
  const auto blank = [](char32_t c) { return c == U' ' || c == U'\t' || c == U'\v'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool StessoNome(std::u32string_view a, std::u32string_view b) {
  const auto minuscola = [](char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char32_t x, char32_t y) { return minuscola(x) == minuscola(y); });
}

// The value as the reader gives it back: blanks at either end dropped, then
// one pair of matching quotes.
std::string ComeLetto(std::string_view valore) {
  std::string_view v = Senza(valore, Blank);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::string Leggi(const std::string& file, std::string_view sezione, std::string_view chiave, size_t n) {
  std::vector<char> buf(n + 1, '\x7F');
  const size_t copiati = ProfiloLinux().GetPrivateProfileStringA(file, sezione, chiave, "predefinito", buf.data(), n);
  if (n == 0) {
    CW_VERIFICA(copiati == 0 && buf[0] == '\x7F', "n = 0 wrote into the buffer");
    return {};
  }
  CW_VERIFICA(copiati < n, "copied " + std::to_string(copiati) + " into " + std::to_string(n));
  CW_VERIFICA(buf[copiati] == '\0', "no NUL after the value");
  CW_VERIFICA(buf[n] == '\x7F', "wrote past the buffer");
  return std::string(buf.data(), copiati);
}

// The argument as the functions take it: up to its first NUL, spaces at
// either end dropped.
std::string Argomento(const std::string& s) {
  return std::string(Senza(std::string_view(s).substr(0, s.find('\0')), Spazio));
}

}  // namespace

int ProvaProfilo(const std::uint8_t* dati, std::size_t n) {
  const auto campi = Campi(dati, n, 4);
  const std::string& sezione = campi[0];
  const std::string& chiave = campi[1];
  const std::string& valore = campi[2];
  const std::string& vecchio = campi[3];

  static const std::filesystem::path cartella = CartellaLavoro() / "profilo";
  std::filesystem::create_directories(cartella);
  const std::filesystem::path percorso = cartella / "WexoUty.ini";
  const std::string file = percorso.string();
  ScriviFile(percorso, vecchio);

  // Reading never fails, and a smaller buffer gives a prefix of the value.
  const std::string intero = Leggi(file, sezione, chiave, 4096 + vecchio.size());
  for (const size_t piccolo : {size_t{0}, size_t{1}, size_t{2}, size_t{7}}) {
    const std::string parte = Leggi(file, sezione, chiave, piccolo);
    CW_VERIFICA(intero.compare(0, parte.size(), parte) == 0, "truncated read is no prefix: " + Mostra(parte));
  }
  CW_VERIFICA(LeggiFile(percorso) == vecchio, "reading changed the file");

  const bool scritto = ProfiloLinux().WritePrivateProfileStringA(file, sezione, chiave, valore);
  const std::string nuovo = LeggiFile(percorso);

  // Nothing but the file itself in its folder: the replacement left no
  // temporary behind.
  size_t voci = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(cartella)) ++voci;
  CW_VERIFICA(voci == 1, std::to_string(voci) + " entries in the folder after a write");

  if (!scritto) {
    CW_VERIFICA(nuovo == vecchio, "a refused write changed the file");
    return 0;
  }

  const std::string k = Argomento(chiave), v = std::string(std::string_view(valore).substr(0, valore.find('\0')));
  // The value reads back as the reader trims it.
  const std::string riletto = Leggi(file, sezione, chiave, v.size() + 2);
  CW_VERIFICA(riletto == ComeLetto(v), "wrote " + Mostra(v) + ", read back " + Mostra(riletto) + "\nfile before " +
                                           Mostra(vecchio) + "\nafter " + Mostra(nuovo));

  // Line by line: a common head and tail, and between them at most one old
  // line (the key's own, or a last line that gains its line end) and at most
  // three new ones (that line end, a header, the key).
  const Pezzi a = Taglia(vecchio), b = Taglia(nuovo);
  CW_VERIFICA(a.utf16 == b.utf16, "the write changed the encoding");
  size_t testa = 0;
  while (testa < a.righe.size() && testa < b.righe.size() && a.righe[testa] == b.righe[testa]) ++testa;
  size_t coda = 0;
  while (coda < a.righe.size() - testa && coda < b.righe.size() - testa &&
         a.righe[a.righe.size() - 1 - coda] == b.righe[b.righe.size() - 1 - coda])
    ++coda;
  const size_t tolte = a.righe.size() - testa - coda, messe = b.righe.size() - testa - coda;
  const std::string dettaglio = "before " + Mostra(vecchio) + "\nafter  " + Mostra(nuovo);
  CW_VERIFICA(tolte <= 1, std::to_string(tolte) + " old lines changed\n" + dettaglio);
  CW_VERIFICA(messe <= 3, std::to_string(messe) + " new lines\n" + dettaglio);
  if (tolte == 1) {
    const std::string& riga = a.righe[testa];
    const std::u32string t = Unita(riga, a.utf16);
    const std::u32string_view spoglia = SenzaBlank(t);
    const size_t uguale = spoglia.find(U'=');
    const bool rigaChiave = !spoglia.empty() && spoglia.front() != U'[' && spoglia.front() != U';' &&
                            uguale != std::u32string_view::npos &&
                            StessoNome(SenzaBlank(spoglia.substr(0, uguale)), UnitaNome(k, a.utf16));
    // Otherwise the line kept its bytes and only gained a line end.
    const bool soloFine = messe >= 1 && b.righe[testa].compare(0, riga.size(), riga) == 0;
    CW_VERIFICA(rigaChiave || soloFine, "changed a line that is not the key's: " + Mostra(riga) + "\n" + dettaglio);
  }
  return 0;
}

}  // namespace cw::fuzz
