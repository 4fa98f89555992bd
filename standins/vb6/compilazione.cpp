#include "compilazione.h"

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <thread>

#include "base/ansi.h"
#include "percorsi_windows.h"
#include "progetto_vbp.h"
#include "projectfile/riferimenti_progetto.h"

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

constexpr const char* kInScrittura = ".vb6-scrittura";

// The files of the output folder the project references, as Windows paths:
// a bare name (a control library, found through its registration) only when
// the folder has it.
std::vector<std::string> FileDellaSuite(const Unita& unita, std::string_view contenuto, const std::string& cartella,
                                        const std::string& cartellaOutput) {
  const std::string uscita = MaiuscoloUtf8(Combina("", cartellaOutput));
  const RiferimentiProgetto riferimenti = LeggiRiferimenti(contenuto);
  std::vector<std::string> file;
  for (size_t k = 0; k < riferimenti.file.size(); ++k) {
    if (riferimenti.progetto[k]) continue;
    const std::string nome = AnsiToUtf8(riferimenti.file[k]);
    if (nome.find_first_of("\\/:") == std::string::npos) {
      const std::string percorso = Combina(cartellaOutput, nome);
      if (unita.Resolve(percorso)) file.push_back(percorso);
    } else if (const std::string percorso = Combina(cartella, nome); MaiuscoloUtf8(CartellaDi(percorso)) == uscita) {
      file.push_back(percorso);
    }
  }
  return file;
}

// Why the build cannot use a file of the suite: missing, being written,
// older than the run, or changed since the build first looked (visto).
std::optional<std::string> NonUsabile(const Unita& unita, const std::string& file, fs::file_time_type inizio,
                                      std::optional<fs::file_time_type>& visto) {
  if (unita.Resolve(file + kInScrittura))
    return "Impossibile caricare la libreria '" + file + "': il file è in fase di scrittura.";
  std::error_code ec;
  const auto host = unita.Resolve(file);
  const auto quando = host ? fs::last_write_time(*host, ec) : fs::file_time_type{};
  if (!host || ec) return "Impossibile trovare il progetto o la libreria '" + file + "'.";
  if (quando < inizio)
    return "Impossibile caricare la libreria '" + file + "': non è stata ricompilata in questa esecuzione.";
  if (visto && *visto != quando)
    return "Impossibile caricare la libreria '" + file + "': il file è cambiato durante la compilazione.";
  visto = quando;
  return std::nullopt;
}

}  // namespace

std::string RigaCompletata(const std::string& progetto) { return "Compilazione di '" + progetto + "' completata."; }
std::string RigaNonCompletata(const std::string& progetto) {
  return "Compilazione di '" + progetto + "' non completata.";
}

Resoconto Compila(const Unita& unita, const Richiesta& r, const Componenti& componenti, const Ordine& ordine) {
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
  if (!destinazione) return Fallita(p, "Impossibile scrivere il file '" + costruito + "'.");

  // The order check, before the build's time and after it: a referenced
  // file must stay as the build first found it.
  std::vector<std::string> usati;
  std::vector<std::optional<fs::file_time_type>> visti;
  fs::file_time_type inizio{};
  fs::path marca = *destinazione;
  marca += kInScrittura;
  auto controlla = [&]() -> std::optional<std::string> {
    for (size_t k = 0; k < usati.size(); ++k)
      if (auto motivo = NonUsabile(unita, usati[k], inizio, visti[k])) return motivo;
    return std::nullopt;
  };
  if (!ordine.fileInizio.empty()) {
    const auto file = unita.Resolve(ordine.fileInizio);
    if (file) inizio = fs::last_write_time(*file, ec);
    if (!file || ec) return Fallita(p, "Impossibile leggere l'inizio dell'esecuzione '" + ordine.fileInizio + "'.");
    usati = FileDellaSuite(unita, contenuto, cartella, r.cartellaOutput);
    visti.resize(usati.size());
    if (auto motivo = controlla()) return Fallita(p, *motivo);
    std::ofstream(marca, std::ios::binary | std::ios::trunc).close();
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ordine.millisecondi));
  if (auto motivo = controlla()) {
    fs::remove(marca, ec);
    return Fallita(p, *motivo);
  }
  const bool scritto = ScriviCostruito(*destinazione, *genere, p, componenti);
  if (!ordine.fileInizio.empty()) fs::remove(marca, ec);
  if (!scritto) return Fallita(p, "Impossibile scrivere il file '" + costruito + "'.");

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
