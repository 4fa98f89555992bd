#include "platform/tracciati.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/servizi_piattaforma.h"
#include "platform/traccia.h"

namespace cw {
namespace {

using Orologio = std::chrono::steady_clock;

std::string Millisecondi(Orologio::time_point da) {
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Orologio::now() - da).count()) + " ms";
}

std::string Limite(std::chrono::milliseconds limite) {
  return limite == kSenzaLimite ? "nessun limite" : "limite " + std::to_string(limite.count()) + " ms";
}

std::string Esito(EsitoAttesa esito) {
  switch (esito) {
    case EsitoAttesa::Finito: return "finito";
    case EsitoAttesa::InCorso: return "ancora in corso";
    case EsitoAttesa::Fallita: return "fallita";
  }
  return "?";
}

// What a call that raised leaves in the trace before the error goes on.
template <class F>
auto Tracciato(const char* tipo, const std::string& cosa, F&& chiamata) -> decltype(chiamata()) {
  try {
    return chiamata();
  } catch (const ErroreRuntime& e) {
    ScriviTraccia(tipo, [&] { return cosa + ": errore " + std::to_string(e.Numero()) + " " + e.TestoMessaggio(); });
    throw;
  } catch (const std::exception& e) {
    ScriviTraccia(tipo, [&] { return cosa + ": " + e.what(); });
    throw;
  }
}

// Each program is named in the trace by the number of its start.
class ProgrammaConTraccia : public ProgrammaAvviato {
 public:
  ProgrammaConTraccia(std::unique_ptr<ProgrammaAvviato> p, unsigned numero) : p_(std::move(p)), numero_(numero) {}

  EsitoAttesa Attendi(std::chrono::milliseconds limite) override {
    const auto inizio = Orologio::now();
    const std::string cosa = Nome() + ", " + Limite(limite);
    const EsitoAttesa esito = Tracciato("attesa", cosa, [&] { return p_->Attendi(limite); });
    ScriviTraccia("attesa", [&] {
      const auto codice = esito == EsitoAttesa::Finito ? p_->CodiceUscita() : std::nullopt;
      return cosa + ": " + Esito(esito) + (codice ? ", codice di uscita " + std::to_string(*codice) : "") + " dopo " +
             Millisecondi(inizio);
    });
    return esito;
  }
  std::optional<std::uint32_t> CodiceUscita() const override { return p_->CodiceUscita(); }
  void Termina() override {
    const auto inizio = Orologio::now();
    p_->Termina();
    ScriviTraccia("avvio", [&] { return Nome() + " terminato in " + Millisecondi(inizio); });
  }
  std::vector<FinestraMostrata> Finestre() override {
    std::vector<FinestraMostrata> finestre = p_->Finestre();
    ScriviTraccia("attesa", [&] {
      std::string testo = Nome() + ": " + std::to_string(finestre.size()) + " finestre";
      for (const FinestraMostrata& f : finestre) testo += " \"" + f.titolo + "\"";
      return testo;
    });
    return finestre;
  }

  ProgrammaAvviato& Interno() { return *p_; }
  std::string Nome() const { return "programma " + std::to_string(numero_); }

 private:
  std::unique_ptr<ProgrammaAvviato> p_;
  unsigned numero_;
};

class ProcessiConTraccia : public Processi {
 public:
  explicit ProcessiConTraccia(std::unique_ptr<Processi> p) : p_(std::move(p)) {}

  std::unique_ptr<ProgrammaAvviato> Avvia(const std::string& riga, int stile) override {
    auto avviato = Tracciato("avvio", "avvio di " + riga, [&] { return p_->Avvia(riga, stile); });
    auto tracciato = std::make_unique<ProgrammaConTraccia>(std::move(avviato), ++avvii_);
    ScriviTraccia("avvio", [&] { return tracciato->Nome() + ", stile " + std::to_string(stile) + ": " + riga; });
    return tracciato;
  }
  std::optional<std::size_t> AttendiPrimo(std::span<ProgrammaAvviato* const> programmi,
                                          std::chrono::milliseconds limite) override {
    // The wrapped service waits on its own programs, all at once where it can.
    std::vector<ProgrammaAvviato*> interni;
    std::string nomi;
    for (ProgrammaAvviato* p : programmi) {
      auto* t = dynamic_cast<ProgrammaConTraccia*>(p);
      if (!t) return Processi::AttendiPrimo(programmi, limite);
      interni.push_back(&t->Interno());
      nomi += (nomi.empty() ? "" : " ") + std::to_string(interni.size());
    }
    const auto inizio = Orologio::now();
    const std::string cosa = "il primo di " + std::to_string(programmi.size()) + " programmi, " + Limite(limite);
    const auto primo = Tracciato("attesa", cosa, [&] { return p_->AttendiPrimo(interni, limite); });
    ScriviTraccia("attesa", [&] {
      return cosa + ": " +
             (primo ? static_cast<ProgrammaConTraccia*>(programmi[*primo])->Nome() + " finito" : "ancora in corso") +
             " dopo " + Millisecondi(inizio);
    });
    return primo;
  }

 private:
  std::unique_ptr<Processi> p_;
  unsigned avvii_ = 0;
};

class SchermoConTraccia : public Schermo {
 public:
  explicit SchermoConTraccia(std::unique_ptr<Schermo> s) : s_(std::move(s)) {}
  bool SalvaSchermata(const std::string& percorso) override {
    const bool ok = s_->SalvaSchermata(percorso);
    ScriviTraccia("file", [&] { return "schermata " + percorso + (ok ? " salvata" : " non salvata"); });
    return ok;
  }

 private:
  std::unique_ptr<Schermo> s_;
};

class FileSystemConTraccia : public FileSystem {
 public:
  explicit FileSystemConTraccia(std::unique_ptr<FileSystem> f) : f_(std::move(f)) {}

  bool FileExists(std::string_view path) override { return f_->FileExists(path); }
  bool FolderExists(std::string_view path) override { return f_->FolderExists(path); }
  TipoVoce Tipo(std::string_view path) override { return f_->Tipo(path); }
  void CopyFile(std::string_view s, std::string_view d, bool overwrite) override {
    Fatto("CopyFile", std::string(s) + " -> " + std::string(d), [&] { f_->CopyFile(s, d, overwrite); });
  }
  void DeleteFile(std::string_view path, bool force) override {
    Fatto("DeleteFile", std::string(path), [&] { f_->DeleteFile(path, force); });
  }
  void RenameFile(std::string_view s, std::string_view d) override {
    Fatto("RenameFile", std::string(s) + " -> " + std::string(d), [&] { f_->RenameFile(s, d); });
  }
  void CopyFileWhole(std::string_view s, std::string_view d) override {
    Fatto("CopyFileWhole", std::string(s) + " -> " + std::string(d), [&] { f_->CopyFileWhole(s, d); });
  }
  void CopyFileWholeFlushed(std::string_view s, std::string_view d) override {
    Fatto("CopyFileWholeFlushed", std::string(s) + " -> " + std::string(d), [&] { f_->CopyFileWholeFlushed(s, d); });
  }
  void FlushFile(std::string_view path) override {
    Fatto("FlushFile", std::string(path), [&] { f_->FlushFile(path); });
  }
  void CheckWritable(std::string_view path) override { f_->CheckWritable(path); }
  std::unique_ptr<TextStream> OpenTextFile(std::string_view path, IOMode mode, bool create) override {
    if (mode == IOMode::ForReading) return f_->OpenTextFile(path, mode, create);
    std::unique_ptr<TextStream> s;
    Fatto("OpenTextFile ForWriting", std::string(path), [&] { s = f_->OpenTextFile(path, mode, create); });
    return s;
  }
  FolderListing GetFolder(std::string_view path) override { return f_->GetFolder(path); }

 private:
  template <class F>
  void Fatto(const char* chiamata, const std::string& cosa, F&& f) {
    const std::string riga = std::string(chiamata) + " " + cosa;
    Tracciato("file", riga, f);
    ScriviTraccia("file", [&] { return riga; });
  }
  std::unique_ptr<FileSystem> f_;
};

class BloccoConTraccia : public BloccoPrefisso {
 public:
  explicit BloccoConTraccia(std::unique_ptr<BloccoPrefisso> b) : b_(std::move(b)) {}
  PresaBlocco Prendi() override {
    const PresaBlocco presa = b_->Prendi();
    ScriviTraccia("blocco", [&] {
      switch (presa) {
        case PresaBlocco::Presa: return std::string("preso");
        case PresaBlocco::Occupata: return std::string("occupato da un'altra istanza");
        case PresaBlocco::Impossibile: return "impossibile: " + b_->Motivo();
      }
      return std::string();
    });
    return presa;
  }
  std::string Motivo() const override { return b_->Motivo(); }
  void Annota(const std::string& programma, const std::string& comando) override {
    b_->Annota(programma, comando);
    ScriviTraccia("blocco", [&] { return "annotato: " + programma + " " + comando; });
  }
  std::optional<DetentoreBlocco> Detentore() const override { return b_->Detentore(); }
  void Lascia() override {
    b_->Lascia();
    ScriviTraccia("blocco", [] { return std::string("lasciato"); });
  }

 private:
  std::unique_ptr<BloccoPrefisso> b_;
};

}  // namespace

std::unique_ptr<Processi> ProcessiTracciati(std::unique_ptr<Processi> processi) {
  return std::make_unique<ProcessiConTraccia>(std::move(processi));
}
std::unique_ptr<FileSystem> FileSystemTracciato(std::unique_ptr<FileSystem> fso) {
  return std::make_unique<FileSystemConTraccia>(std::move(fso));
}
std::unique_ptr<BloccoPrefisso> BloccoTracciato(std::unique_ptr<BloccoPrefisso> blocco) {
  return std::make_unique<BloccoConTraccia>(std::move(blocco));
}

void TracciaServizi(ServiziPiattaforma& s) {
  if (!TracciaAccesa()) return;
  s.processi = ProcessiTracciati(std::move(s.processi));
  if (s.schermo) s.schermo = std::make_unique<SchermoConTraccia>(std::move(s.schermo));
  s.fso = FileSystemTracciato(std::move(s.fso));
  if (s.blocco) s.blocco = BloccoTracciato(std::move(s.blocco));
}

}  // namespace cw
