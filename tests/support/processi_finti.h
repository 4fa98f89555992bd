#pragma once
// A process service that starts nothing: it records each call, hands the
// command line to the test's stand-in for the program, and answers as a
// program that ends at once with exit code 0, or as told by its line. It is
// the screen service too, so one list holds the order of both.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/processi.h"
#include "platform/schermo.h"

namespace cw::test {

class ProcessiFinti : public Processi, public Schermo {
 public:
  struct Avvio {
    std::string riga;
    int stile;
    bool operator==(const Avvio&) const = default;
  };
  std::vector<Avvio> avvii;
  // In order: "avvia:<line>", and for the n-th start (from 1) "attendi:<n>:<ms or infinito>",
  // "finestre:<n>", "termina:<n>", "rilascia:<n>"; "schermata:<path>".
  std::vector<std::string> eventi;
  // Plays the started program; runs inside Avvia.
  std::function<void(const std::string& riga)> programma;
  bool nonAvviabile = false;  // Avvia raises 53
  // The exit code of a program by its command line (0 when not given); one
  // in appesi never ends.
  std::map<std::string, std::uint32_t> codici;
  std::set<std::string> appesi;
  // Programs whose wait fails, as when whoever watches them is gone.
  std::set<std::string> persi;
  // How long a program runs by its command line, ms: a shorter wait times out.
  std::map<std::string, std::uint32_t> durate;
  std::vector<FinestraMostrata> finestre;  // what Finestre reads
  bool schermo = false;                    // SalvaSchermata succeeds

  std::unique_ptr<ProgrammaAvviato> Avvia(const std::string& riga, int stile) override {
    eventi.push_back("avvia:" + riga);
    if (nonAvviabile) SollevaErrore(kFileNonTrovato);
    avvii.push_back({riga, stile});
    if (programma) programma(riga);
    return std::make_unique<Finto>(*this, avvii.size());
  }
  bool SalvaSchermata(const std::string& percorso) override {
    eventi.push_back("schermata:" + percorso);
    return schermo;
  }

 private:
  class Finto : public ProgrammaAvviato {
   public:
    Finto(ProcessiFinti& p, std::size_t n) : p_(p), n_(n), riga_(p.avvii[n - 1].riga) {}
    ~Finto() override { Evento("rilascia"); }
    EsitoAttesa Attendi(std::chrono::milliseconds limite) override {
      Evento("attendi", limite == kSenzaLimite ? "infinito" : std::to_string(limite.count()));
      if (p_.persi.count(riga_)) return EsitoAttesa::Fallita;
      const auto d = p_.durate.find(riga_);
      if (Appeso() || (d != p_.durate.end() && limite != kSenzaLimite && d->second > limite.count()))
        return EsitoAttesa::InCorso;
      finito_ = true;
      return EsitoAttesa::Finito;
    }
    std::optional<std::uint32_t> CodiceUscita() const override {
      if (!finito_) return std::nullopt;
      const auto c = p_.codici.find(riga_);
      return c == p_.codici.end() ? 0 : c->second;
    }
    void Termina() override { Evento("termina"); }
    std::vector<FinestraMostrata> Finestre() override {
      Evento("finestre");
      return p_.finestre;
    }

   private:
    bool Appeso() const { return p_.appesi.count(riga_) > 0; }
    void Evento(const std::string& cosa, const std::string& dettaglio = "") {
      p_.eventi.push_back(cosa + ":" + std::to_string(n_) + (dettaglio.empty() ? "" : ":" + dettaglio));
    }
    ProcessiFinti& p_;
    std::size_t n_;
    std::string riga_;
    bool finito_ = false;
  };
};

}  // namespace cw::test
