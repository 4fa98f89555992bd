#include "tools/verifica_indirizzi.h"

#include <algorithm>
#include <cstdio>

#include "base/ansi.h"
#include "tools/indirizzi_base_dll.h"

namespace cw {
namespace {

std::string Nome(const std::vector<DllDaVerificare>& dll, int i) {
  return MaiuscoloUtf8(dll[static_cast<size_t>(i)].fileProgetto);
}

// The name padded to the report's column, as in the address lines above.
std::string ColonnaNome(const std::string& nome) {
  std::string testo = nome;
  int caratteri = 0;
  for (char c : nome)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++caratteri;
  testo += std::string(static_cast<size_t>(caratteri < kColonnaNome ? kColonnaNome - caratteri : 1), ' ');
  return testo;
}

std::string Kb(std::uint32_t byte) { return std::to_string(byte / 1024) + " KB"; }

std::string Intervallo(const DllDaVerificare& d) {
  const std::uint64_t ultimo = std::uint64_t{*d.indirizzo} + d.Estensione() - 1;
  return ScriviIndirizzoVb(*d.indirizzo) + "-" +
         ScriviIndirizzoVb(static_cast<std::uint32_t>(std::min<std::uint64_t>(ultimo, 0xFFFFFFFFu)));
}

}  // namespace

std::vector<DllDaVerificare> DllDaVerificareDelCatalogo(FileSystem& fso, const CatalogoComponenti& catalogo) {
  std::vector<DllDaVerificare> dll;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    if (catalogo(riga, kTipo) != "dll") continue;
    DllDaVerificare d;
    d.riga = riga;
    d.fileProgetto = catalogo(riga, kFileProgetto);
    // The value shown by the report starts with the equals sign.
    if (const auto valore = ValoreIndirizzoBase(fso, catalogo.FileProgettoCompleto(riga)))
      d.indirizzo = LeggiIndirizzoVb(std::string_view(*valore).substr(1));
    const std::string compilato = catalogo.FileOutputCompleto(riga);
    d.compilato = fso.FileExists(compilato);
    if (d.compilato) {
      auto file = fso.OpenTextFile(compilato, IOMode::ForReading, false);
      d.dimensione = DimensioneImmaginePe(file->ReadAll());
      file->Close();
    }
    dll.push_back(std::move(d));
  }
  return dll;
}

std::vector<std::string> RigheSovrapposizioni(const std::vector<DllDaVerificare>& dll,
                                              const AnalisiIndirizzi& analisi) {
  std::vector<std::string> righe{"", "Sovrapposizioni degli indirizzi di base DLL"};
  for (const DllDaVerificare& d : dll) {
    std::string testo = "Immagine di: " + ColonnaNome(MaiuscoloUtf8(d.fileProgetto));
    if (!d.indirizzo)
      testo += "senza indirizzo";
    else if (!d.IndirizzoValido())
      testo += ScriviIndirizzoVb(*d.indirizzo) + " non valido";
    else
      testo += Intervallo(d);
    if (!d.compilato)
      testo += "  non compilato";
    else if (!d.dimensione)
      testo += "  " + Kb(d.Estensione()) + " (non è un'immagine Windows)";
    else
      testo += "  " + Kb(*d.dimensione);
    righe.push_back(testo);
  }
  for (const Sovrapposizione& s : analisi.sovrapposizioni)
    righe.push_back("Sovrapposizione: " + Nome(dll, s.prima) + " e " + Nome(dll, s.seconda));
  if (analisi.sovrapposizioni.empty()) righe.push_back("Nessuna sovrapposizione");
  for (int i : analisi.senzaIndirizzo) righe.push_back("Senza indirizzo: " + Nome(dll, i));
  for (int i : analisi.nonValidi)
    righe.push_back("Indirizzo non valido: " + ColonnaNome(Nome(dll, i)) +
                    ScriviIndirizzoVb(*dll[static_cast<size_t>(i)].indirizzo));
  for (const NuovoIndirizzo& n : analisi.proposta)
    righe.push_back("Indirizzo proposto per: " + ColonnaNome(Nome(dll, n.indice)) + ScriviIndirizzoVb(n.indirizzo));
  if (analisi.proposta.empty() && !analisi.spazioEsaurito) righe.push_back("Nessun indirizzo da cambiare");
  if (analisi.spazioEsaurito)
    righe.push_back("Spazio esaurito tra " + ScriviIndirizzoVb(kPrimoIndirizzoProposto) + " e " +
                    ScriviIndirizzoVb(kFineIndirizziProposti) + ": alcune DLL restano senza proposta");
  return righe;
}

}  // namespace cw
