#pragma once
// The DLL base-address overlap check: each DLL's range from the base address
// its project file declares and the image size of its built file, the pairs
// of ranges that overlap, and a proposed set of addresses free of overlaps.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// The loader maps images on 64 KB boundaries; a file that is no Windows image
// (the Linux stand-ins) or is not built yet counts as this much.
inline constexpr std::uint32_t kGranularitaIndirizzi = 0x10000;
// The end of a 32-bit process's own addresses: an image must lie below it.
inline constexpr std::uint64_t kFineIndirizziUtente = 0x80000000;
// Where proposed addresses go: clear of the system's own DLLs.
inline constexpr std::uint32_t kPrimoIndirizzoProposto = 0x11000000;
inline constexpr std::uint32_t kFineIndirizziProposti = 0x60000000;

// "&H11000000" (optionally ending in "&", either letter case), as the
// development environment writes it; anything else has no address.
std::optional<std::uint32_t> LeggiIndirizzoVb(std::string_view valore);
// "&H11000000".
std::string ScriviIndirizzoVb(std::uint32_t indirizzo);

// SizeOfImage from a PE file's optional header; none when the bytes are not a
// Windows image.
std::optional<std::uint32_t> DimensioneImmaginePe(std::string_view byte);

struct DllDaVerificare {
  int riga = 0;
  std::string fileProgetto;
  std::optional<std::uint32_t> indirizzo;  // none: the project file declares none
  bool compilato = false;
  std::optional<std::uint32_t> dimensione;  // SizeOfImage; none: not a Windows image
  // What the range spans: the image size rounded up to 64 KB, at least 64 KB.
  std::uint32_t Estensione() const;
  // An address the loader can map the image at: a multiple of 64 KB, not 0,
  // and the whole range below kFineIndirizziUtente. False without one.
  bool IndirizzoValido() const;
};

struct Sovrapposizione {
  int prima = 0, seconda = 0;  // indexes into the list, prima < seconda
};

struct NuovoIndirizzo {
  int indice = 0;  // into the list
  std::uint32_t indirizzo = 0;
};

struct AnalisiIndirizzi {
  std::vector<Sovrapposizione> sovrapposizioni;  // in list order
  std::vector<int> senzaIndirizzo;
  // The DLLs whose address the loader cannot use (IndirizzoValido); they
  // overlap nothing and need an address, like those without one.
  std::vector<int> nonValidi;
  // Every valid address that overlaps nothing is kept; a DLL that overlaps
  // one earlier in the list, or declares none or an invalid one, gets the
  // lowest free 64 KB aligned place in the proposed range. Empty when nothing
  // needs to move.
  std::vector<NuovoIndirizzo> proposta;
  bool spazioEsaurito = false;  // some DLL found no free place
};

AnalisiIndirizzi AnalizzaIndirizzi(const std::vector<DllDaVerificare>& dll);

}  // namespace cw
