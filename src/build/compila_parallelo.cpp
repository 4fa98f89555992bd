#include "build/compila_parallelo.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>

#include "base/ansi.h"
#include "base/errors.h"
#include "base/passi_log.h"
#include "platform/fine_su_segnale.h"
#include "projectfile/grafo_riferimenti.h"
#include "projectfile/riferimenti_progetto.h"

namespace cw {

namespace {

using Orologio = std::chrono::steady_clock;

// A build under way.
struct Corsa {
  int riga = 0;
  std::unique_ptr<ProgrammaAvviato> programma;
  Orologio::time_point inizio;
};

// A build as it ended, kept until the log reaches its row.
struct Esito {
  bool finita = false;
  bool fallita = false;
  bool schermata = false;
  double secondi = 0;
  std::string rapporto;          // Windows-1252
  std::exception_ptr eccezione;  // raised at its start or at its report: raised again at its turn
};

std::string FileErroriRiga(int riga) { return std::string(kFileErroriCompilazione) + "." + std::to_string(riga); }

std::string MinuscoloAscii(std::string testo) {
  for (char& c : testo) c = MinuscolaAscii(c);
  return testo;
}

std::string NomeFile(const std::string& percorso) {
  const size_t barra = percorso.find_last_of("\\/");
  return barra == std::string::npos ? percorso : percorso.substr(barra + 1);
}

}  // namespace

std::optional<int> LeggiParalleli(std::string_view testo) {
  if (testo.empty() || testo.size() > 2 || testo.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  int n = 0;
  for (const char c : testo) n = n * 10 + (c - '0');
  if (n < 1 || n > kParalleliMassimo) return std::nullopt;
  return n;
}

std::optional<PianoCompilazione> PianificaCompilazione(FileSystem& fso, const CatalogoComponenti& catalogo,
                                                       int paralleli, std::string& errore) {
  std::vector<RiferimentiProgetto> progetti;
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    const auto file = fso.OpenTextFile(catalogo.FileProgettoCompleto(i), IOMode::ForReading);
    progetti.push_back(LeggiRiferimenti(file->ReadAll()));
    file->Close();
  }
  const GrafoRiferimenti grafo = CostruisciGrafo(catalogo, progetti);
  if (!grafo.cicli.empty()) {
    std::string righe;
    for (const int r : grafo.cicli.front())
      righe += (righe.empty() ? "" : ", ") + MaiuscoloUtf8(catalogo(catalogo.LBound() + r, kFileProgetto));
    errore = "Riferimenti circolari tra " + righe + ": nessun ordine li compila, compilazione in parallelo rifiutata";
    return std::nullopt;
  }
  PianoCompilazione piano;
  piano.paralleli = paralleli;
  piano.richieste = grafo.richieste;
  piano.priorita = PercorsoRimanente(grafo);
  for (size_t r = 0; r < progetti.size(); ++r) {
    std::vector<std::string> ocx;
    const std::string uscita = MinuscoloAscii(catalogo(catalogo.LBound() + static_cast<int>(r), kFileOutput));
    if (uscita.ends_with(".ocx")) ocx.push_back(uscita);
    for (const std::string& file : progetti[r].file) {
      const std::string nome = MinuscoloAscii(NomeFile(file));
      if (nome.ends_with(".ocx")) ocx.push_back(nome);
    }
    std::sort(ocx.begin(), ocx.end());
    ocx.erase(std::unique(ocx.begin(), ocx.end()), ocx.end());
    piano.ocx.push_back(std::move(ocx));
  }
  return piano;
}

std::optional<int> CompilaInParallelo(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Processi& processi,
                                      const PianoCompilazione& piano, int primaRiga,
                                      std::vector<RigaCompilata>* compilate, std::uint32_t limiteSecondi,
                                      const std::function<void(int riga)>& inizioRiga, Schermo* schermo) {
  FinestraDisabilitata finestra(ui);
  if (fso.FileExists(kFileErroriCompilazione)) fso.DeleteFile(kFileErroriCompilazione, true);

  const int base = catalogo.LBound(), ultima = catalogo.UBound();
  const int prima = std::max(base, primaRiga);
  const auto n = static_cast<size_t>(std::max(0, ultima - base + 1));
  const auto at = [base](int riga) { return static_cast<size_t>(riga - base); };
  const auto limite = std::chrono::milliseconds(std::chrono::seconds(limiteSecondi));

  // Built in this run, or not to be built in it: a row needing it may start.
  std::vector<char> pronta(n, 0), avviata(n, 0), saltata(n, 0);
  std::vector<Esito> esiti(n);
  for (int r = base; r <= ultima; ++r) {
    // A resumed run starts from rows the earlier one built.
    if (r < prima) pronta[at(r)] = avviata[at(r)] = 1;
    if (r >= prima && CompilazioneDaSaltare(catalogo(r, kTipo))) {
      pronta[at(r)] = avviata[at(r)] = saltata[at(r)] = 1;
      esiti[at(r)].finita = true;
    }
  }
  // Past a failure no later row starts, as the sequential walk would never
  // have reached it.
  int ultimaAvviabile = ultima;
  std::vector<Corsa> corse;
  const size_t paralleli = static_cast<size_t>(std::max(1, piano.paralleli));

  const auto puoPartire = [&](int r) {
    if (avviata[at(r)] || r > ultimaAvviabile) return false;
    for (const int richiesta : piano.richieste[at(r)]) {
      // A row this run will not build is there as the last run left it,
      // as the sequential walk builds against it.
      if (!pronta[static_cast<size_t>(richiesta)] && base + richiesta <= ultimaAvviabile) return false;
    }
    for (const Corsa& c : corse)
      for (const std::string& ocx : piano.ocx[at(r)])
        if (std::binary_search(piano.ocx[at(c.riga)].begin(), piano.ocx[at(c.riga)].end(), ocx)) return false;
    return true;
  };
  const auto avvia = [&] {
    while (corse.size() < paralleli) {
      int scelta = -1;
      for (int r = prima; r <= ultimaAvviabile; ++r)
        if (puoPartire(r) && (scelta < 0 || piano.priorita[at(r)] > piano.priorita[at(scelta)])) scelta = r;
      if (scelta < 0) return;
      avviata[at(scelta)] = 1;
      const std::string file = FileErroriRiga(scelta);
      try {
        if (fso.FileExists(file)) fso.DeleteFile(file, true);
        Corsa corsa{scelta, nullptr, Orologio::now()};
        corsa.programma = processi.Avvia(
            RigaDiComando(catalogo.FileProgettoCompleto(scelta), catalogo(scelta, kCartellaOutput), file),
            kFinestraRidotta);
        corse.push_back(std::move(corsa));
      } catch (const FineSuSegnale&) {
        throw;
      } catch (...) {
        Esito& e = esiti[at(scelta)];
        e.finita = e.fallita = true;
        e.eccezione = std::current_exception();
        ultimaAvviabile = std::min(ultimaAvviabile, scelta - 1);
      }
    }
  };
  const auto concludi = [&](size_t k, EsitoAttesa esito) {
    Corsa corsa = std::move(corse[k]);
    corse.erase(corse.begin() + static_cast<std::ptrdiff_t>(k));
    Esito& e = esiti[at(corsa.riga)];
    const std::string file = FileErroriRiga(corsa.riga);
    try {
      const bool fineAnomala =
          ConcludiCompilazione(fso, *corsa.programma, esito, catalogo.FileProgettoCompleto(corsa.riga), file,
                               limiteSecondi, schermo, e.schermata);
      corsa.programma.reset();
      auto flusso = fso.OpenTextFile(file, IOMode::ForReading, false);
      e.rapporto = flusso->ReadAll();
      flusso->Close();
      fso.DeleteFile(file, true);
      e.fallita = fineAnomala || CompilazioneFallita(e.rapporto);
    } catch (const FineSuSegnale&) {
      throw;
    } catch (...) {
      e.fallita = true;
      e.eccezione = std::current_exception();
    }
    e.secondi = std::chrono::duration<double>(Orologio::now() - corsa.inizio).count();
    e.finita = true;
    pronta[at(corsa.riga)] = !e.fallita;
    if (e.fallita) ultimaAvviabile = std::min(ultimaAvviabile, corsa.riga - 1);
  };
  // Waits for the first build to end, or for the nearest limit.
  const auto attendi = [&] {
    std::vector<ProgrammaAvviato*> programmi;
    auto scadenza = Orologio::time_point::max();
    for (const Corsa& c : corse) {
      programmi.push_back(c.programma.get());
      if (limiteSecondi) scadenza = std::min(scadenza, c.inizio + limite);
    }
    auto attesa = kSenzaLimite;
    if (limiteSecondi)
      attesa = std::max(std::chrono::milliseconds(0),
                        std::chrono::ceil<std::chrono::milliseconds>(scadenza - Orologio::now()));
    if (const auto primo = processi.AttendiPrimo(programmi, attesa)) {
      const EsitoAttesa esito = corse[*primo].programma->Attendi(std::chrono::milliseconds(0));
      if (esito != EsitoAttesa::InCorso) concludi(*primo, esito);
      return;
    }
    const auto ora = Orologio::now();
    for (size_t k = corse.size(); k-- > 0;)
      if (corse[k].inizio + limite <= ora) concludi(k, EsitoAttesa::InCorso);
  };

  int riga = prima;    // the next row of the log
  bool detta = false;  // told to inizioRiga
  std::optional<int> fallita;
  try {
    for (;;) {
      avvia();
      // The log, as far as the builds in catalogue order have ended.
      while (riga <= ultima && esiti[at(riga)].finita) {
        Esito& e = esiti[at(riga)];
        if (saltata[at(riga)]) {
          ui.DoEvents();
          ++riga;
          detta = false;
          continue;
        }
        if (inizioRiga && !detta) inizioRiga(riga);
        const std::string voce =
            std::to_string(riga) + ") Compilazione " + MaiuscoloUtf8(catalogo(riga, kFileProgetto));
        AnnunciaPasso(ui, voce + " in corso...");
        if (e.eccezione) std::rethrow_exception(e.eccezione);
        {
          auto flusso = fso.OpenTextFile(kFileErroriCompilazione, IOMode::ForAppending, true);
          flusso->Write(e.rapporto);
          flusso->Close();
        }
        if (compilate) compilate->push_back({riga, e.secondi, e.rapporto});
        if (e.fallita) {
          ConcludiPasso(ui, voce + " in corso... ERRORE!");
          if (e.schermata) AnnunciaPasso(ui, std::string("Schermata salvata in ") + kSchermataCompilazione);
          fallita = riga;
          break;
        }
        ConcludiPasso(ui, voce + " in corso... OK!", false);
        ui.DoEvents();
        ++riga;
        detta = false;
      }
      if (fallita || riga > ultima) break;
      if (inizioRiga && !detta) {
        inizioRiga(riga);
        detta = true;
      }
      if (corse.empty())
        SollevaErrore(kChiamataNonValida, "nessuna compilazione avviabile alla riga " + std::to_string(riga));
      attendi();
    }
    // The builds still running end as they would have; none is released.
    while (!corse.empty()) attendi();
  } catch (...) {
    for (Corsa& c : corse) c.programma->Termina();
    throw;
  }
  if (fallita) {
    std::string oltre;
    for (int r = *fallita + 1; r <= ultima; ++r)
      if (avviata[at(r)] && !saltata[at(r)] && esiti[at(r)].finita && !esiti[at(r)].fallita)
        oltre += (oltre.empty() ? "" : ", ") + MaiuscoloUtf8(catalogo(r, kFileProgetto));
    if (!oltre.empty()) {
      auto flusso = fso.OpenTextFile(kFileErroriCompilazione, IOMode::ForAppending, true);
      flusso->WriteLine(Utf8ToAnsi("Compilati in parallelo oltre l'errore: " + oltre + "."));
      flusso->Close();
    }
  }
  return fallita;
}

}  // namespace cw
