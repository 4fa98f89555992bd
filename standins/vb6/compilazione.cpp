#include "compilazione.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "base/ansi.h"
#include "percorsi_windows.h"
#include "progetto_vbp.h"

namespace cw::vb6 {
namespace fs = std::filesystem;
namespace {

enum class Genere { Dll, ServerExe, Applicazione };

std::optional<Genere> GenereDelTipo(const std::string& tipo) {
  if (tipo == "OleDll") return Genere::Dll;
  if (tipo == "OleExe") return Genere::ServerExe;
  if (tipo == "Exe") return Genere::Applicazione;
  return std::nullopt;
}

bool Leggibile(const fs::path& p, std::string& contenuto) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  contenuto.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

bool FileRegolare(const std::optional<fs::path>& p) {
  std::error_code ec;
  return p && fs::is_regular_file(*p, ec);
}

std::string Segnaposto(Genere g, const std::string& progetto) {
  // An application stays runnable: it starts and ends at once.
  if (g == Genere::Applicazione) return "#!/bin/sh\n# stand-in build of " + progetto + "\nexit 0\n";
  return "stand-in build of " + progetto + "\n";
}

// The built file goes in under a temporary name and is renamed over the old
// one, so a program that has the old one mapped keeps its copy intact.
bool ScriviCostruito(const fs::path& destinazione, Genere g, const std::string& progetto, const Componenti& comp) {
  std::error_code ec;
  const auto stato = fs::status(destinazione, ec);
  constexpr auto kScrittura = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if (!ec && fs::exists(stato) && (stato.permissions() & kScrittura) == fs::perms::none) return false;  // read-only

  std::string contenuto;
  fs::perms permessi = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
  const std::string& modello = g == Genere::Dll         ? comp.serverInProcesso
                               : g == Genere::ServerExe ? comp.serverEseguibile
                                                        : comp.applicazione;
  bool copiato = false;
  if (!modello.empty() && !comp.cartella.empty()) {
    const fs::path sorgente = comp.cartella / modello;
    if (fs::is_regular_file(sorgente, ec) && Leggibile(sorgente, contenuto)) {
      permessi = fs::status(sorgente, ec).permissions();
      copiato = true;
    }
  }
  if (!copiato) contenuto = Segnaposto(g, progetto);
  if (g == Genere::Applicazione || g == Genere::ServerExe)
    permessi |= fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

  // Built from path pieces, so a name outside the ANSI code page survives.
  fs::path nomeTemporaneo = ".";
  nomeTemporaneo += destinazione.filename();
  nomeTemporaneo += ".vb6-" + std::to_string(::getpid());
  fs::path temporaneo = destinazione;
  temporaneo.replace_filename(nomeTemporaneo);
  {
    std::ofstream out(temporaneo, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
    out.close();
    if (!out) {
      fs::remove(temporaneo, ec);
      return false;
    }
  }
  fs::permissions(temporaneo, permessi, ec);
  fs::rename(temporaneo, destinazione, ec);
  if (ec) {
    fs::remove(temporaneo, ec);
    return false;
  }
  return true;
}

Resoconto Fallita(const std::string& progetto, std::string motivo) {
  return {false, {std::move(motivo), RigaNonCompletata(progetto)}};
}

}  // namespace

std::string RigaCompletata(const std::string& progetto) { return "Compilazione di '" + progetto + "' completata."; }
std::string RigaNonCompletata(const std::string& progetto) {
  return "Compilazione di '" + progetto + "' non completata.";
}

Resoconto Compila(const Unita& unita, const Richiesta& r, const Componenti& componenti) {
  const std::string& p = r.progetto;
  const auto host = unita.Resolve(p);
  if (!FileRegolare(host)) return Fallita(p, "Impossibile trovare il file di progetto '" + p + "'.");
  std::string contenuto;
  if (!Leggibile(*host, contenuto)) return Fallita(p, "Impossibile leggere il file di progetto '" + p + "'.");

  const ProgettoVbp progetto = LeggiProgetto(contenuto);
  if (progetto.domanda) return {false, {}, progetto.domanda};
  if (!progetto.tipo) return Fallita(p, "Impossibile determinare il tipo del progetto (manca la riga Type=).");
  const auto genere = GenereDelTipo(*progetto.tipo);
  if (!genere) return Fallita(p, "Impossibile compilare un progetto di tipo '" + *progetto.tipo + "'.");

  const std::string cartella = CartellaDi(p);
  for (const auto& membro : progetto.membri)
    if (!FileRegolare(unita.Resolve(Combina(cartella, membro))))
      return Fallita(p, "Impossibile trovare il file '" + membro + "'.");

  if (progetto.modoCompatibilita && *progetto.modoCompatibilita == "2") {
    if (!progetto.fileCompatibile || progetto.fileCompatibile->empty())
      return Fallita(
          p, "Impossibile impostare la compatibilità binaria: manca il file di riferimento (CompatibleExe32=).");
    if (!FileRegolare(unita.Resolve(Combina(cartella, *progetto.fileCompatibile))))
      return Fallita(p, "Impossibile trovare il file di compatibilità '" + *progetto.fileCompatibile + "'.");
  }

  if (!progetto.nomeEseguibile || progetto.nomeEseguibile->empty())
    return Fallita(p, "Impossibile determinare il nome del file da creare (manca la riga ExeName32=).");
  std::error_code ec;
  const auto uscita = unita.Resolve(r.cartellaOutput);
  if (!uscita || !fs::is_directory(*uscita, ec))
    return Fallita(p, "Impossibile trovare la cartella di destinazione '" + r.cartellaOutput + "'.");
  const std::string costruito = Combina(r.cartellaOutput, *progetto.nomeEseguibile);
  const auto destinazione = unita.ResolveForCreate(costruito);
  if (!destinazione || !ScriviCostruito(*destinazione, *genere, p, componenti))
    return Fallita(p, "Impossibile scrivere il file '" + costruito + "'.");

  return {true, {RigaCompletata(p)}};
}

bool AccodaResoconto(const Unita& unita, const std::string& fileErrori, const std::vector<std::string>& righe) {
  const auto host = unita.ResolveForCreate(fileErrori);
  if (!host) return false;
  std::string testo;
  for (const auto& riga : righe) testo += Utf8ToAnsi(riga) + "\r\n";
  std::ofstream out(*host, std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(testo.data(), static_cast<std::streamsize>(testo.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace cw::vb6
