#include "platform/tracciati.h"

#include <chrono>
#include <optional>
#include <string>

#include "base/errors.h"
#include "platform/servizi_piattaforma.h"
#include "platform/traccia.h"

namespace cw {
namespace {

using Orologio = std::chrono::steady_clock;

std::string Millisecondi(Orologio::time_point da) {
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Orologio::now() - da).count()) + " ms";
}

std::string Limite(std::uint32_t ms) {
  return ms == kInfinite ? "nessun limite" : "limite " + std::to_string(ms) + " ms";
}

std::string EsitoAttesa(std::uint32_t esito) {
  switch (esito) {
    case kWaitObject0: return "finito";
    case kWaitTimeout: return "ancora in corso";
    case kWaitFailed: return "fallita";
  }
  return std::to_string(esito);
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

class ProcessiConTraccia : public Processes {
 public:
  explicit ProcessiConTraccia(std::unique_ptr<Processes> p) : p_(std::move(p)) {}

  std::uint32_t Shell(const std::string& riga, int stile) override {
    const std::uint32_t pid = Tracciato("avvio", "Shell " + riga, [&] { return p_->Shell(riga, stile); });
    ScriviTraccia(
        "avvio", [&] { return "Shell pid " + std::to_string(pid) + ", stile " + std::to_string(stile) + ": " + riga; });
    return pid;
  }
  HandleProcesso AvviaConHandle(const std::string& riga, int stile) override {
    const HandleProcesso h =
        Tracciato("avvio", "AvviaConHandle " + riga, [&] { return p_->AvviaConHandle(riga, stile); });
    ScriviTraccia("avvio", [&] {
      return "AvviaConHandle handle " + std::to_string(h) + ", stile " + std::to_string(stile) + ": " + riga;
    });
    return h;
  }
  HandleProcesso OpenProcess(std::uint32_t accesso, bool eredita, std::uint32_t pid) override {
    const HandleProcesso h = p_->OpenProcess(accesso, eredita, pid);
    ScriviTraccia("attesa", [&] { return "OpenProcess pid " + std::to_string(pid) + ": handle " + std::to_string(h); });
    return h;
  }
  std::uint32_t WaitForSingleObject(HandleProcesso h, std::uint32_t ms) override {
    const auto inizio = Orologio::now();
    const std::string cosa = "handle " + std::to_string(h) + ", " + Limite(ms);
    const std::uint32_t esito = Tracciato("attesa", cosa, [&] { return p_->WaitForSingleObject(h, ms); });
    ScriviTraccia("attesa", [&] { return cosa + ": " + EsitoAttesa(esito) + " dopo " + Millisecondi(inizio); });
    return esito;
  }
  void CloseHandle(HandleProcesso h) override { p_->CloseHandle(h); }
  bool GetExitCodeProcess(HandleProcesso h, std::uint32_t& codice) override {
    const bool ok = p_->GetExitCodeProcess(h, codice);
    ScriviTraccia("attesa", [&] {
      return "handle " + std::to_string(h) + ": " +
             (ok ? "codice di uscita " + std::to_string(codice) : "nessun codice");
    });
    return ok;
  }
  void TerminateProcess(HandleProcesso h) override {
    const auto inizio = Orologio::now();
    p_->TerminateProcess(h);
    ScriviTraccia("avvio", [&] { return "handle " + std::to_string(h) + " terminato in " + Millisecondi(inizio); });
  }
  std::vector<FinestraMostrata> FinestreMostrate(HandleProcesso h) override {
    std::vector<FinestraMostrata> finestre = p_->FinestreMostrate(h);
    ScriviTraccia("attesa", [&] {
      std::string testo = "handle " + std::to_string(h) + ": " + std::to_string(finestre.size()) + " finestre";
      for (const FinestraMostrata& f : finestre) testo += " \"" + f.titolo + "\"";
      return testo;
    });
    return finestre;
  }
  bool SalvaSchermata(const std::string& percorso) override {
    const bool ok = p_->SalvaSchermata(percorso);
    ScriviTraccia("file", [&] { return "schermata " + percorso + (ok ? " salvata" : " non salvata"); });
    return ok;
  }

 private:
  std::unique_ptr<Processes> p_;
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

std::unique_ptr<Processes> ProcessiTracciati(std::unique_ptr<Processes> processi) {
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
  s.fso = FileSystemTracciato(std::move(s.fso));
  if (s.blocco) s.blocco = BloccoTracciato(std::move(s.blocco));
}

}  // namespace cw
