#include "build/compila.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/ansi.h"
#include "base/passi_log.h"

namespace cw {
namespace {

bool ContieneSenzaCaso(const std::string& testo, const std::string& parola) {
  if (parola.size() > testo.size()) return false;
  for (size_t i = 0; i + parola.size() <= testo.size(); ++i) {
    size_t k = 0;
    while (k < parola.size() && MinuscolaAscii(testo[i + k]) == parola[k]) ++k;
    if (k == parola.size()) return true;
  }
  return false;
}

}  // namespace

std::string RigaDiComando(const std::string& progetto, const std::string& cartellaOutput) {
  return RigaDiComando(progetto, cartellaOutput, kFileErroriCompilazione);
}

std::string RigaDiComando(const std::string& progetto, const std::string& cartellaOutput,
                          const std::string& fileErrori) {
  std::string riga;
  riga += "\"";
  riga += kAmbienteSviluppo;
  riga += "\" /make \"";
  riga += progetto;
  riga += "\" /outdir \"";
  riga += cartellaOutput;
  riga += "\" /out \"";
  riga += fileErrori;
  riga += "\"";
  return riga;
}

std::optional<std::uint32_t> LeggiLimiteCompilazione(std::string_view testo) {
  if (testo.empty() || testo.size() > 9 || testo.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  std::uint32_t secondi = 0;
  for (const char c : testo) secondi = secondi * 10 + static_cast<std::uint32_t>(c - '0');
  if (secondi > kLimiteCompilazioneMassimo) return std::nullopt;
  return secondi;
}

std::string RigaLimiteSuperato(const std::string& progetto, std::uint32_t secondi,
                               const std::vector<FinestraMostrata>& finestre) {
  // One line whatever the texts hold.
  auto inRiga = [](std::string testo) {
    for (char& c : testo)
      if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return "\"" + testo + "\"";
  };
  std::string riga = "Compilazione di '" + progetto + "' non completata: ancora in corso dopo il limite di " +
                     std::to_string(secondi) + (secondi == 1 ? " secondo" : " secondi") + ", terminata.";
  if (finestre.empty()) riga += " Nessuna finestra aperta.";
  for (const FinestraMostrata& f : finestre) {
    riga += " Finestra " + inRiga(f.titolo) + ":";
    for (const std::string& t : f.testi) riga += " " + inRiga(t);
    riga += ".";
  }
  return riga;
}

std::string RigaFineAnomala(const std::string& progetto, std::uint32_t codice) {
  const std::string inizio = "Compilazione di '" + progetto + "' non completata: ";
  // An NTSTATUS error: an exception under Windows or Wine.
  if (codice >= 0xC0000000u) {
    char esadecimale[16];
    std::snprintf(esadecimale, sizeof esadecimale, "0x%08X", static_cast<unsigned>(codice));
    return inizio + "terminata dall'eccezione " + esadecimale + ".";
  }
  // 128 + n: signal n, as the Linux process service reports it.
  if (codice > 128 && codice <= 128 + 64) return inizio + "terminata dal segnale " + std::to_string(codice - 128) + ".";
  return {};
}

bool ConcludiCompilazione(FileSystem& fso, ProgrammaAvviato& compilazione, EsitoAttesa esito,
                          const std::string& progetto, const std::string& fileErrori, std::uint32_t limiteSecondi,
                          Schermo* schermo, bool& schermata) {
  std::string motivo;
  if (esito == EsitoAttesa::InCorso && limiteSecondi) {
    // Read while it still shows them; the screen with its question on it.
    const std::vector<FinestraMostrata> finestre = compilazione.Finestre();
    schermata = schermo && schermo->SalvaSchermata(kSchermataCompilazione);
    motivo = RigaLimiteSuperato(progetto, limiteSecondi, finestre);
  } else if (esito == EsitoAttesa::Fallita) {
    // Nobody can tell how the build went (the agent under Wine is gone):
    // not a success, whatever the error file says.
    motivo = "Compilazione di '" + progetto + "' non completata: l'attesa della compilazione è fallita, terminata.";
  } else if (const auto codice = compilazione.CodiceUscita(); esito == EsitoAttesa::Finito && codice) {
    // Killed (out of memory, a crash) before it could write a word:
    // its error file may still say nothing against it.
    motivo = RigaFineAnomala(progetto, *codice);
  }
  if (motivo.empty()) return false;
  if (esito != EsitoAttesa::Finito) compilazione.Termina();
  auto flusso = fso.OpenTextFile(fileErrori, IOMode::ForAppending, true);
  flusso->WriteLine(Utf8ToAnsi(motivo));
  flusso->Close();
  return true;
}

bool CompilazioneDaSaltare(const std::string& tipo) {
  return tipo == "dll-skipcompile" || tipo == "exe-skipcompile" || tipo == "app-skipcompile";
}

bool CompilazioneFallita(const std::string& testoErrori) {
  return ContieneSenzaCaso(testoErrori, "impossibile") || ContieneSenzaCaso(testoErrori, "non completata");
}

std::optional<int> CompilaProgetti(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Processi& processi,
                                   int primaRiga, std::vector<RigaCompilata>* compilate, std::uint32_t limiteSecondi,
                                   const std::function<void(int riga)>& inizioRiga, Schermo* schermo) {
  FinestraDisabilitata finestra(ui);
  if (fso.FileExists(kFileErroriCompilazione)) fso.DeleteFile(kFileErroriCompilazione, true);

  std::string precedente;  // the error file as the previous build left it
  for (int i = std::max(catalogo.LBound(), primaRiga); i <= catalogo.UBound(); ++i) {
    if (!CompilazioneDaSaltare(catalogo(i, kTipo))) {
      const std::string riga = RigaDiComando(catalogo.FileProgettoCompleto(i), catalogo(i, kCartellaOutput));
      const std::string voce = std::to_string(i) + ") Compilazione " + MaiuscoloUtf8(catalogo(i, kFileProgetto));
      if (inizioRiga) inizioRiga(i);
      AnnunciaPasso(ui, voce + " in corso...");

      const auto inizio = std::chrono::steady_clock::now();
      bool scaduta = false, schermata = false;
      {
        const std::unique_ptr<ProgrammaAvviato> compilazione = processi.Avvia(riga, kFinestraRidotta);
        // A build that stops on a question would otherwise wait for an answer for ever.
        const EsitoAttesa esito = compilazione->Attendi(
            limiteSecondi ? std::chrono::milliseconds(std::chrono::seconds(limiteSecondi)) : kSenzaLimite);
        scaduta = ConcludiCompilazione(fso, *compilazione, esito, catalogo.FileProgettoCompleto(i),
                                       kFileErroriCompilazione, limiteSecondi, schermo, schermata);
      }
      std::string testo;
      {
        auto flusso = fso.OpenTextFile(kFileErroriCompilazione, IOMode::ForReading, false);
        testo = flusso->ReadAll();
        flusso->Close();
      }
      if (compilate) {
        // The environment appends to the error file: this build's report is what follows the last one's.
        const std::chrono::duration<double> durata = std::chrono::steady_clock::now() - inizio;
        const bool aggiunto = testo.starts_with(precedente);
        compilate->push_back({i, durata.count(), aggiunto ? testo.substr(precedente.size()) : testo});
        precedente = testo;
      }
      if (scaduta || CompilazioneFallita(testo)) {
        ConcludiPasso(ui, voce + " in corso... ERRORE!");
        if (schermata) AnnunciaPasso(ui, std::string("Schermata salvata in ") + kSchermataCompilazione);
        return i;
      }
      // The event pump below repaints the line.
      ConcludiPasso(ui, voce + " in corso... OK!", false);
    }
    ui.DoEvents();
  }
  return std::nullopt;
}

}  // namespace cw
