#include "platform/linux/profilo_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/ansi.h"
#include "base/profilo_argomenti.h"

#include "platform/linux/io_linux.h"
#include "platform/linux/sostituisci_file_linux.h"

namespace cw {
namespace {

constexpr std::string_view kFineRiga = "\r\n";

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view TagliaBlank(std::string_view s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

// Arguments lose their spaces only: a tab at either end stays and so never
// matches a name in the file, whose blanks are all dropped.
std::string_view TagliaSpazi(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string_view FinoAlNul(std::string_view s) { return s.substr(0, s.find('\0')); }

// --- Windows-1252 and UTF-16, for the files that start with FF FE ---------

// The code point of every byte, taken from the one code page table we have.
const std::array<char16_t, 256>& CodiciAnsi() {
  static const std::array<char16_t, 256> tabella = [] {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const std::string u = AnsiToUtf8(std::string(1, static_cast<char>(b)));
      const auto c = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(u[i])); };
      unsigned cp = c(0);
      if (u.size() == 2) cp = ((cp & 0x1F) << 6) | (c(1) & 0x3F);
      if (u.size() == 3) cp = ((cp & 0x0F) << 12) | ((c(1) & 0x3F) << 6) | (c(2) & 0x3F);
      t[static_cast<size_t>(b)] = static_cast<char16_t>(cp);
    }
    return t;
  }();
  return tabella;
}

char AnsiDaCodice(char32_t cp) {
  const auto& t = CodiciAnsi();
  if (cp < 0x100 && t[cp] == cp) return static_cast<char>(cp);
  for (size_t b = 0x80; b < 0xA0; ++b)
    if (t[b] == cp) return static_cast<char>(b);
  return '?';
}

// --- The file's text, line by line -----------------------------------------

// Offsets are bytes into the raw file, whatever its encoding, so an edit is a
// splice of the raw bytes and everything around it stays as it was.
struct Riga {
  size_t inizio = 0;    // first byte of the line
  size_t fine = 0;      // its line end (or the end of the text)
  size_t fineRiga = 0;  // just past its line end
  bool HaFineRiga() const { return fineRiga != fine; }
};

class ContenutoProfilo {
 public:
  explicit ContenutoProfilo(std::string grezzo) : grezzo_(std::move(grezzo)) {
    if (grezzo_.size() >= 2 && grezzo_[0] == '\xFF' && grezzo_[1] == '\xFE') {
      passo_ = 2;
      inizio_ = 2;
      fine_ = inizio_ + (grezzo_.size() - inizio_) / 2 * 2;  // an odd last byte is not text
    } else {
      fine_ = grezzo_.size();
    }
  }

  const std::string& Grezzo() const { return grezzo_; }
  size_t FineTesto() const { return fine_; }
  bool Vuoto() const { return fine_ == inizio_; }
  bool FinisceConFineRiga() const {
    if (Vuoto()) return false;
    const char16_t u = Unita(fine_ - passo_);
    return u == u'\r' || u == u'\n';
  }

  // The line starting at pos; false at the end of the text.
  bool Prossima(size_t& pos, Riga& riga) const {
    if (pos < inizio_) pos = inizio_;
    if (pos >= fine_) return false;
    riga.inizio = pos;
    size_t p = pos;
    if (passo_ == 1) {
      p = std::string_view(grezzo_).substr(0, fine_).find_first_of("\r\n", pos);
      if (p == std::string_view::npos) p = fine_;
    } else {
      while (p < fine_ && Unita(p) != u'\r' && Unita(p) != u'\n') p += passo_;
    }
    riga.fine = p;
    if (p == fine_) {
      riga.fineRiga = p;
    } else if (Unita(p) == u'\r' && p + passo_ < fine_ && Unita(p + passo_) == u'\n') {
      riga.fineRiga = p + 2 * passo_;
    } else {
      riga.fineRiga = p + passo_;
    }
    pos = riga.fineRiga;
    return true;
  }

  // The line's content in Windows-1252.
  std::string Contenuto(const Riga& riga) const {
    if (passo_ == 1) return grezzo_.substr(riga.inizio, riga.fine - riga.inizio);
    std::string out;
    out.reserve((riga.fine - riga.inizio) / 2);
    for (size_t p = riga.inizio; p < riga.fine; p += 2) {
      char32_t cp = Unita(p);
      if (cp >= 0xD800 && cp < 0xDC00 && p + 2 < riga.fine) {
        const char16_t basso = Unita(p + 2);
        if (basso >= 0xDC00 && basso < 0xE000) {
          cp = 0x10000 + ((cp - 0xD800) << 10) + (basso - 0xDC00);
          p += 2;
        }
      }
      out += AnsiDaCodice(cp);
    }
    return out;
  }

  // Windows-1252 text in the file's own encoding.
  std::string Codifica(std::string_view ansi) const {
    if (passo_ == 1) return std::string(ansi);
    std::string out;
    out.reserve(ansi.size() * 2);
    for (const char c : ansi) {
      const char16_t u = CodiciAnsi()[static_cast<unsigned char>(c)];
      out += static_cast<char>(u & 0xFF);
      out += static_cast<char>(u >> 8);
    }
    return out;
  }

 private:
  char16_t Unita(size_t p) const {
    const auto b = [&](size_t i) { return static_cast<char16_t>(static_cast<unsigned char>(grezzo_[i])); };
    return passo_ == 1 ? b(p) : static_cast<char16_t>(b(p) | (b(p + 1) << 8));
  }

  std::string grezzo_;
  size_t passo_ = 1;
  size_t inizio_ = 0;
  size_t fine_ = 0;
};

// --- What a line is -----------------------------------------------------------

enum class Genere { Vuota, Sezione, Chiave, Commento, Altro };

struct Analisi {
  Genere genere = Genere::Altro;
  std::string_view nome;    // section or key, blanks dropped
  std::string_view valore;  // a key's value, blanks and one pair of quotes dropped
};

Analisi Analizza(std::string_view riga) {
  Analisi a;
  const std::string_view s = TagliaBlank(riga);
  if (s.empty()) {
    a.genere = Genere::Vuota;
  } else if (s.front() == '[') {
    // The name ends at the first "]", or at the end of the line without one.
    a.genere = Genere::Sezione;
    const std::string_view dentro = s.substr(1);
    a.nome = TagliaBlank(dentro.substr(0, dentro.find(']')));
  } else if (s.front() == ';') {
    a.genere = Genere::Commento;
  } else if (const size_t uguale = s.find('='); uguale != std::string_view::npos) {
    a.genere = Genere::Chiave;
    a.nome = TagliaBlank(s.substr(0, uguale));
    std::string_view v = TagliaBlank(s.substr(uguale + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    a.valore = v;
  }
  return a;
}

// Where a key stands: only the first block of the section counts, and in it
// the first line with the key.
struct Ricerca {
  std::optional<Riga> intestazione;
  std::optional<Riga> rigaChiave;
  std::string nomeChiave;  // as the file spells it
  std::string valore;
  std::optional<Riga> ultimaChiave;  // the block's last key line, when the key is missing
};

Ricerca Cerca(const ContenutoProfilo& testo, std::string_view sezione, std::string_view chiave) {
  Ricerca r;
  size_t pos = 0;
  Riga riga;
  while (testo.Prossima(pos, riga)) {
    const std::string contenuto = testo.Contenuto(riga);
    const Analisi a = Analizza(contenuto);
    if (a.genere == Genere::Sezione) {
      if (r.intestazione) break;  // the block ends at the next header
      if (UgualiSenzaCasoAscii(a.nome, sezione)) r.intestazione = riga;
    } else if (r.intestazione && a.genere == Genere::Chiave) {
      if (UgualiSenzaCasoAscii(a.nome, chiave)) {
        r.rigaChiave = riga;
        r.nomeChiave = a.nome;
        r.valore = a.valore;
        break;
      }
      r.ultimaChiave = riga;
    }
  }
  return r;
}

// --- The file on disk -------------------------------------------------------------

// The bytes of a regular file; nothing for a missing, unreadable or special
// one (a FIFO or a device must not hang or flood the reader).
std::optional<std::string> LeggiFile(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::string contenuto;
  const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                  LeggiFinoAllaFine(fd, contenuto, static_cast<size_t>(st.st_size)) == 0;
  ::close(fd);
  if (!ok) return std::nullopt;
  return contenuto;
}

std::string NuovoContenuto(const ContenutoProfilo& testo, std::string_view sezione, std::string_view chiave,
                           std::string_view valore) {
  const Ricerca r = Cerca(testo, sezione, chiave);
  const std::string& g = testo.Grezzo();
  const auto giunta = [&](size_t da, size_t a, std::string_view ansi) {
    return g.substr(0, da) + testo.Codifica(ansi) + g.substr(a);
  };
  const std::string riga = std::string(chiave) + "=" + std::string(valore) + std::string(kFineRiga);

  if (r.rigaChiave) {
    const std::string sostituta = r.nomeChiave + "=" + std::string(valore) + std::string(kFineRiga);
    return giunta(r.rigaChiave->inizio, r.rigaChiave->fineRiga, sostituta);
  }
  if (r.intestazione) {
    const Riga& dopo = r.ultimaChiave ? *r.ultimaChiave : *r.intestazione;
    return giunta(dopo.fineRiga, dopo.fineRiga, (dopo.HaFineRiga() ? "" : std::string(kFineRiga)) + riga);
  }
  const std::string prima = testo.Vuoto() || testo.FinisceConFineRiga() ? "" : std::string(kFineRiga);
  return giunta(testo.FineTesto(), testo.FineTesto(),
                prima + "[" + std::string(sezione) + "]" + std::string(kFineRiga) + riga);
}

// Through a link the file it points to is rewritten, not the link replaced;
// false for a dangling link.
bool PercorsoVero(const std::string& file, std::string& percorso) {
  percorso = file;
  struct stat st {};
  if (::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* vero = ::realpath(file.c_str(), nullptr);
    if (!vero) return false;
    percorso = vero;
    std::free(vero);
  }
  return true;
}

// No write bit at all is the read-only attribute, and it binds root too.
bool Scrivibile(const std::string& percorso, const struct stat& st) {
  return S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0 && ::access(percorso.c_str(), W_OK) == 0;
}

class ProfiloLettoLinux : public ProfiloLetto {
 public:
  explicit ProfiloLettoLinux(std::string file) : file_(std::move(file)), grezzo_(LeggiFile(file_)) {}
  std::size_t GetString(std::string_view sezione, std::string_view chiave, std::string_view predefinito,
                        char* destinazione, std::size_t n) const override;
  const std::string& File() const override { return file_; }

 private:
  std::string file_;
  std::optional<std::string> grezzo_;  // none: missing or unreadable
};

std::size_t ProfiloLettoLinux::GetString(std::string_view sezione, std::string_view chiave,
                                         std::string_view predefinito, char* destinazione, std::size_t n) const {
  if (n == 0) return 0;
  sezione = TagliaSpazi(FinoAlNul(sezione));
  chiave = TagliaSpazi(FinoAlNul(chiave));
  predefinito = FinoAlNul(predefinito);
  while (!predefinito.empty() && predefinito.back() == ' ') predefinito.remove_suffix(1);

  std::string valore(predefinito);
  if (grezzo_) {
    Ricerca r = Cerca(ContenutoProfilo(*grezzo_), sezione, chiave);
    if (r.rigaChiave) valore = std::move(r.valore);
  }
  const size_t copiati = std::min(valore.size(), n - 1);
  std::memcpy(destinazione, valore.data(), copiati);
  destinazione[copiati] = '\0';
  return copiati;
}

}  // namespace

std::size_t ProfiloLinux::GetPrivateProfileStringA(const std::string& file, std::string_view sezione,
                                                   std::string_view chiave, std::string_view predefinito,
                                                   char* destinazione, std::size_t n) const {
  if (n == 0) return 0;
  return ProfiloLettoLinux(file).GetString(sezione, chiave, predefinito, destinazione, n);
}

std::unique_ptr<ProfiloLetto> ProfiloLinux::Leggi(const std::string& file) const {
  return std::make_unique<ProfiloLettoLinux>(file);
}

bool ProfiloLinux::ConMarcaUtf8(const std::string& file) const {
  const std::optional<std::string> testo = LeggiFile(file);
  return testo && testo->starts_with("\xEF\xBB\xBF");
}

bool ProfiloLinux::WritePrivateProfileStringA(const std::string& file, std::string_view sezione,
                                              std::string_view chiave, std::string_view valore) {
  sezione = TagliaSpazi(FinoAlNul(sezione));
  chiave = TagliaSpazi(FinoAlNul(chiave));
  valore = FinoAlNul(valore);
  if (!ArgomentiProfiloSicuri(sezione, chiave, valore)) return false;

  std::string percorso;
  if (!PercorsoVero(file, percorso)) return false;
  struct stat st {};
  if (::stat(percorso.c_str(), &st) != 0) {
    if (errno != ENOENT) return false;
    const std::string nuovo = "[" + std::string(sezione) + "]" + std::string(kFineRiga) + std::string(chiave) + "=" +
                              std::string(valore) + std::string(kFineRiga);
    return SostituisciFile(percorso, nuovo, nullptr) == 0;
  }
  if (!Scrivibile(percorso, st)) return false;
  std::optional<std::string> grezzo = LeggiFile(percorso);
  if (!grezzo) return false;
  const ContenutoProfilo testo(std::move(*grezzo));
  const std::string contenuto = NuovoContenuto(testo, sezione, chiave, valore);
  if (contenuto == testo.Grezzo()) return true;
  return SostituisciFile(percorso, contenuto, &st) == 0;
}

bool ProfiloLinux::CreaCartelleProfilo(const std::string& file) {
  const std::filesystem::path cartella = std::filesystem::path(file).parent_path();
  std::error_code ec;
  if (cartella.empty() || std::filesystem::is_directory(cartella, ec)) return true;
  std::filesystem::create_directories(cartella, ec);
  return !ec;
}

bool ProfiloLinux::CancellaChiaveProfilo(const std::string& file, std::string_view sezione, std::string_view chiave) {
  sezione = TagliaSpazi(FinoAlNul(sezione));
  chiave = TagliaSpazi(FinoAlNul(chiave));
  std::string percorso;
  if (!PercorsoVero(file, percorso)) return false;
  struct stat st {};
  if (::stat(percorso.c_str(), &st) != 0) return errno == ENOENT;  // nothing to remove
  std::optional<std::string> grezzo = LeggiFile(percorso);
  if (!grezzo) return false;
  const ContenutoProfilo testo(std::move(*grezzo));
  const Ricerca r = Cerca(testo, sezione, chiave);
  if (!r.rigaChiave) return true;
  if (!Scrivibile(percorso, st)) return false;
  const std::string& g = testo.Grezzo();
  return SostituisciFile(percorso, g.substr(0, r.rigaChiave->inizio) + g.substr(r.rigaChiave->fineRiga), &st) == 0;
}

}  // namespace cw
