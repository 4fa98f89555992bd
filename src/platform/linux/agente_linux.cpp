#include "platform/linux/agente_linux.h"

#include <algorithm>
#include <system_error>

#include "base/errors.h"
#include "base/protocollo_agente.h"
#include "platform/linux/architettura_linux.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/spawn_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "platform/traccia.h"

namespace cw {

namespace {

using Orologio = std::chrono::steady_clock;

// How long a request other than a wait may take: a start under Wine loads
// the program's libraries.
constexpr std::chrono::milliseconds kLimiteRichiesta{60000};
// How long the agent may take to read the windows of a program.
constexpr std::chrono::milliseconds kLimiteLetturaFinestre{5000};
// A wait is asked a second at a time, so an agent that stops answering is
// told within this much more.
constexpr std::uint32_t kPassoAttesa = 1000;
constexpr std::chrono::milliseconds kMargineAttesa{10000};

// The first word of a line, and what follows its blank.
std::string_view Parola(std::string_view riga, std::string_view* dettaglio = nullptr) {
  const size_t blank = riga.find(' ');
  if (dettaglio) *dettaglio = blank == std::string_view::npos ? std::string_view() : riga.substr(blank + 1);
  return riga.substr(0, blank);
}

std::string Numero(unsigned long n) { return std::to_string(n); }

}  // namespace

std::filesystem::path PercorsoAgentePredefinito() { return CartellaAusiliari() / "windows" / kNomeAgente; }

AgenteLinux::AgenteLinux(DriveTable drives, std::filesystem::path programma, std::optional<std::string> percorsoRicerca)
    : drives_(std::move(drives)), programma_(std::move(programma)), percorsoRicerca_(std::move(percorsoRicerca)) {}

AgenteLinux::~AgenteLinux() = default;

bool AgenteLinux::Presente() const {
  std::error_code ec;
  return std::filesystem::is_regular_file(programma_, ec);
}

bool AgenteLinux::ConWine() const {
  return AvvioSottoWine({programma_.string()}, drives_.Prefix(), {}, percorsoRicerca_).has_value();
}

int AgenteLinux::Bit() const {
  const int bit = BitProgramma(programma_);
  return bit ? bit : 32;
}

TrasportoWorker* AgenteLinux::Attuale() { return trasporto_ && trasporto_->Pid() > 0 ? trasporto_.get() : nullptr; }

TrasportoWorker* AgenteLinux::Pronto(Attesa& attesa, Orologio::time_point scadenza) {
  if (TrasportoWorker* t = Attuale()) return t;
  trasporto_.reset();
  auto avvio = AvvioSottoWine({programma_.string()}, drives_.Prefix(), {}, percorsoRicerca_);
  if (!avvio) return nullptr;
  ScriviTraccia("agente", [&] { return "avvio di " + programma_.string() + " con " + avvio->eseguibile.string(); });
  trasporto_ = TrasportoWorkerLinux::Avvia(std::move(*avvio), /*sottoWine=*/true, drives_.Prefix());
  if (!trasporto_) return nullptr;
  ++generazione_;
  std::string riga;
  const LetturaRiga letta = trasporto_->Leggi(riga, scadenza, attesa);
  if (letta == LetturaRiga::Riga && Parola(riga) == worker::kPronto) return trasporto_.get();
  const std::string wine = trasporto_->UltimeRigheErrore();
  Termina();
  // Ended before a word: what Wine said is the only account of why.
  if (letta == LetturaRiga::Fine) {
    const std::string motivo = Bit() == 32 ? MotivoSenza32Bit() : std::string();
    const std::string detto = wine.empty() ? std::string() : "\n\nWine: " + wine;
    if (!motivo.empty()) throw ErroreAvvioWindows(motivo + detto);
    if (!wine.empty())
      throw ErroreAvvioWindows("L'agente di Wine (" + programma_.string() + ") non si è avviato nel prefisso '" +
                               drives_.Prefix().string() + "'." + detto);
  }
  return nullptr;
}

void AgenteLinux::Termina() {
  if (trasporto_) trasporto_->Termina();
  trasporto_.reset();
}

bool AgenteLinux::Chiedi(const std::string& richiesta, const std::vector<std::string>& finali,
                         Orologio::time_point scadenza, Attesa& attesa, std::vector<std::string>& righe) {
  righe.clear();
  TrasportoWorker* t = Pronto(attesa, std::max(scadenza, Orologio::now() + kLimiteAvvioWine));
  if (!t) return false;
  ScriviTraccia("agente", [&] { return "richiesta: " + richiesta; });
  if (t->Scrivi(richiesta)) {
    std::string riga;
    while (t->Leggi(riga, scadenza, attesa) == LetturaRiga::Riga) {
      ScriviTraccia("agente", [&] { return "risposta: " + riga; });
      righe.push_back(riga);
      if (std::find(finali.begin(), finali.end(), Parola(riga)) != finali.end()) return true;
    }
  }
  ScriviTraccia("agente", [] { return std::string("nessuna risposta: l'agente è terminato"); });
  // Crashed, silent past the limit, or gone: it serves nothing more.
  Termina();
  return false;
}

AgenteLinux::Avviato AgenteLinux::AvviaProgramma(const std::filesystem::path& programma, const std::string& riga,
                                                 int stile, Attesa& attesa) {
  const char sep = worker::kSeparatore;
  const std::string richiesta = std::string(worker::kAvvia) + sep + worker::Esadecimale(programma.string()) + sep +
                                worker::Esadecimale(riga) + sep + std::to_string(stile);
  std::vector<std::string> righe;
  Avviato avviato;
  if (!Chiedi(richiesta, {worker::kAvviato, worker::kAvvioFallito}, Orologio::now() + kLimiteRichiesta, attesa,
              righe)) {
    avviato.errore = "l'agente di Wine non ha risposto";
    return avviato;
  }
  std::string_view dettaglio;
  if (Parola(righe.back(), &dettaglio) == worker::kAvviato) {
    avviato.ok = !dettaglio.empty();
    avviato.numero = std::strtoul(std::string(dettaglio).c_str(), nullptr, 10);
    return avviato;
  }
  // The code, then the system's message in hex.
  std::string_view resto;
  const std::string_view codice = Parola(dettaglio, &resto);
  std::string messaggio;
  avviato.errore =
      worker::DaEsadecimale(resto, messaggio) && !messaggio.empty() ? messaggio : "errore " + std::string(codice);
  return avviato;
}

AgenteLinux::Stato AgenteLinux::AttendiProgramma(unsigned long numero, unsigned generazione,
                                                 std::chrono::milliseconds limite, Attesa& attesa,
                                                 std::uint32_t& codice) {
  const bool infinito = limite == kSenzaLimite;
  const auto fine = infinito ? Orologio::now() : Orologio::now() + limite;
  for (;;) {
    if (!Vivo(generazione)) return Stato::Perso;
    std::uint32_t passo = kPassoAttesa;
    if (!infinito) {
      const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(fine - Orologio::now()).count();
      passo = static_cast<std::uint32_t>(std::clamp<long long>(resto, 0, kPassoAttesa));
    }
    std::vector<std::string> righe;
    const std::string richiesta =
        std::string(worker::kAttendi) + worker::kSeparatore + Numero(numero) + worker::kSeparatore + Numero(passo);
    if (!Chiedi(richiesta, {worker::kFinito, worker::kInCorso, worker::kSconosciuto},
                Orologio::now() + std::chrono::milliseconds(passo) + kMargineAttesa, attesa, righe))
      return Stato::Perso;
    std::string_view dettaglio;
    const std::string_view parola = Parola(righe.back(), &dettaglio);
    if (parola == worker::kFinito) {
      codice = static_cast<std::uint32_t>(std::strtoul(std::string(dettaglio).c_str(), nullptr, 10));
      return Stato::Finito;
    }
    if (parola == worker::kSconosciuto) return Stato::Perso;
    if (!infinito && Orologio::now() >= fine) return Stato::InCorso;
  }
}

std::vector<FinestraMostrata> AgenteLinux::FinestreProgramma(unsigned long numero, unsigned generazione,
                                                             Attesa& attesa) {
  std::vector<FinestraMostrata> finestre;
  if (!Vivo(generazione)) return finestre;
  std::vector<std::string> righe;
  Chiedi(std::string(worker::kFinestre) + worker::kSeparatore + Numero(numero), {worker::kFine},
         Orologio::now() + kLimiteLetturaFinestre, attesa, righe);
  for (const std::string& riga : righe) {
    std::string_view hex;
    const std::string_view parola = Parola(riga, &hex);
    std::string testo;
    if (!worker::DaEsadecimale(hex, testo)) continue;
    if (parola == worker::kFinestra) finestre.push_back({testo, {}});
    if (parola == worker::kTesto && !finestre.empty()) finestre.back().testi.push_back(testo);
  }
  return finestre;
}

void AgenteLinux::TerminaProgramma(unsigned long numero, unsigned generazione, Attesa& attesa) {
  if (!Vivo(generazione)) return;
  std::vector<std::string> righe;
  // Unanswered, the agent is ended, and the program with it.
  Chiedi(std::string(worker::kTermina) + worker::kSeparatore + Numero(numero),
         {worker::kTerminato, worker::kSconosciuto}, Orologio::now() + kMargineAttesa, attesa, righe);
}

void AgenteLinux::ChiudiProgramma(unsigned long numero, unsigned generazione, Attesa& attesa) {
  if (!Vivo(generazione)) return;
  std::vector<std::string> righe;
  Chiedi(std::string(worker::kChiudi) + worker::kSeparatore + Numero(numero), {worker::kChiuso, worker::kSconosciuto},
         Orologio::now() + kMargineAttesa, attesa, righe);
}

namespace {

class VistaAgente : public TrasportoWorker {
 public:
  explicit VistaAgente(AgenteLinux& agente) : agente_(agente) {}

  bool Scrivi(std::string_view riga) override {
    TrasportoWorker* t = Suo();
    return t && t->Scrivi(riga);
  }
  LetturaRiga Leggi(std::string& riga, Orologio::time_point scadenza, Attesa& attesa) override {
    if (!detto_) {
      detto_ = true;
      if (!agente_.Pronto(attesa, scadenza)) return LetturaRiga::Fine;
      generazione_ = agente_.Generazione();
      riga = worker::kPronto;
      return LetturaRiga::Riga;
    }
    TrasportoWorker* t = Suo();
    return t ? t->Leggi(riga, scadenza, attesa) : LetturaRiga::Fine;
  }
  void Termina() override {
    if (Suo()) agente_.Termina();
  }

 private:
  // The agent this view was ready with; null once it has been replaced.
  TrasportoWorker* Suo() { return detto_ && generazione_ == agente_.Generazione() ? agente_.Attuale() : nullptr; }

  AgenteLinux& agente_;
  bool detto_ = false;
  unsigned generazione_ = 0;
};

}  // namespace

std::unique_ptr<TrasportoWorker> VistaRegistrazione(AgenteLinux& agente) {
  return std::make_unique<VistaAgente>(agente);
}

}  // namespace cw
