#include "tools/sovrapposizioni.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace cw {
namespace {

struct Intervallo {
  std::uint64_t inizio, fine;  // [inizio, fine)
  bool Tocca(const Intervallo& altro) const { return inizio < altro.fine && altro.inizio < fine; }
};

Intervallo IntervalloDi(std::uint32_t indirizzo, std::uint32_t estensione) {
  return {indirizzo, std::uint64_t{indirizzo} + estensione};
}

std::uint32_t Leggi32(std::string_view b, size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

}  // namespace

std::optional<std::uint32_t> LeggiIndirizzoVb(std::string_view valore) {
  if (valore.size() < 3 || valore[0] != '&' || (valore[1] != 'H' && valore[1] != 'h')) return std::nullopt;
  valore.remove_prefix(2);
  if (!valore.empty() && valore.back() == '&') valore.remove_suffix(1);
  if (valore.empty() || valore.size() > 8) return std::nullopt;
  std::uint32_t n = 0;
  const auto [fine, errore] = std::from_chars(valore.data(), valore.data() + valore.size(), n, 16);
  if (errore != std::errc{} || fine != valore.data() + valore.size()) return std::nullopt;
  return n;
}

std::string ScriviIndirizzoVb(std::uint32_t indirizzo) {
  char testo[16];
  std::snprintf(testo, sizeof testo, "&H%08X", indirizzo);
  return testo;
}

std::optional<std::uint32_t> DimensioneImmaginePe(std::string_view b) {
  if (b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z') return std::nullopt;
  const std::uint64_t pe = Leggi32(b, 0x3C);
  // Signature, file header (20 bytes), then the optional header: its magic
  // (PE32 or PE32+) and, 56 bytes in, SizeOfImage in both layouts.
  if (pe + 24 + 60 > b.size()) return std::nullopt;
  if (b.substr(static_cast<size_t>(pe), 4) != std::string_view("PE\0\0", 4)) return std::nullopt;
  const size_t opzionale = static_cast<size_t>(pe) + 24;
  const unsigned magia = static_cast<unsigned char>(b[opzionale]) | static_cast<unsigned char>(b[opzionale + 1]) << 8;
  if (magia != 0x10B && magia != 0x20B) return std::nullopt;
  return Leggi32(b, opzionale + 56);
}

std::uint32_t DllDaVerificare::Estensione() const {
  const std::uint64_t d = dimensione.value_or(0);
  const std::uint64_t arrotondata = (d + kGranularitaIndirizzi - 1) / kGranularitaIndirizzi * kGranularitaIndirizzi;
  return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(arrotondata, kGranularitaIndirizzi, 0xFFFF0000u));
}

bool DllDaVerificare::IndirizzoValido() const {
  return indirizzo && *indirizzo != 0 && *indirizzo % kGranularitaIndirizzi == 0 &&
         std::uint64_t{*indirizzo} + Estensione() <= kFineIndirizziUtente;
}

AnalisiIndirizzi AnalizzaIndirizzi(const std::vector<DllDaVerificare>& dll) {
  AnalisiIndirizzi analisi;
  const int n = static_cast<int>(dll.size());
  for (int i = 0; i < n; ++i) {
    if (!dll[i].indirizzo) {
      analisi.senzaIndirizzo.push_back(i);
      continue;
    }
    if (!dll[i].IndirizzoValido()) {
      analisi.nonValidi.push_back(i);
      continue;
    }
    for (int j = i + 1; j < n; ++j)
      if (dll[j].IndirizzoValido() && IntervalloDi(*dll[i].indirizzo, dll[i].Estensione())
                                          .Tocca(IntervalloDi(*dll[j].indirizzo, dll[j].Estensione())))
        analisi.sovrapposizioni.push_back({i, j});
  }

  // In list order: an address is kept unless it overlaps one kept before it.
  std::vector<Intervallo> occupati;
  std::vector<int> daSpostare;
  for (int i = 0; i < n; ++i) {
    if (!dll[i].IndirizzoValido()) {
      daSpostare.push_back(i);
      continue;
    }
    const Intervallo proprio = IntervalloDi(*dll[i].indirizzo, dll[i].Estensione());
    if (std::any_of(occupati.begin(), occupati.end(), [&](const Intervallo& o) { return o.Tocca(proprio); }))
      daSpostare.push_back(i);
    else
      occupati.push_back(proprio);
  }
  for (int i : daSpostare) {
    std::uint64_t luogo = kPrimoIndirizzoProposto;
    const std::uint32_t estensione = dll[i].Estensione();
    for (bool spostato = true; spostato;) {
      spostato = false;
      const Intervallo candidato{luogo, luogo + estensione};
      for (const Intervallo& o : occupati)
        if (o.Tocca(candidato)) {
          // Past the range in the way, then every range is tried again.
          luogo = (o.fine + kGranularitaIndirizzi - 1) / kGranularitaIndirizzi * kGranularitaIndirizzi;
          spostato = true;
          break;
        }
    }
    if (luogo + estensione > kFineIndirizziProposti) {
      analisi.spazioEsaurito = true;
      continue;
    }
    occupati.push_back({luogo, luogo + estensione});
    analisi.proposta.push_back({i, static_cast<std::uint32_t>(luogo)});
  }
  return analisi;
}

}  // namespace cw
