#pragma once
// An instance lock that only answers: taken, unless the test says it is
// held elsewhere or cannot be taken; it records each take, each record
// written and each release of a lock held.

#include <optional>
#include <string>
#include <vector>

#include "platform/blocco_prefisso.h"

namespace cw::test {

class BloccoFinto : public BloccoPrefisso {
 public:
  PresaBlocco esito = PresaBlocco::Presa;     // what every Prendi answers
  std::string motivo;                         // what Motivo says after Impossibile
  std::optional<DetentoreBlocco> detentore;   // what Detentore says after Occupata
  std::vector<std::string> eventi;            // "prendi", "annota:<programma> <comando>", "lascia"
  std::vector<std::string>* anche = nullptr;  // the same events, also here (a window's, to tell the order)

  PresaBlocco Prendi() override {
    Evento("prendi");
    tenuto_ = esito == PresaBlocco::Presa;
    return esito;
  }
  std::string Motivo() const override { return motivo; }
  void Lascia() override {
    if (tenuto_) Evento("lascia");
    tenuto_ = false;
  }
  void Annota(const std::string& programma, const std::string& comando) override {
    Evento("annota:" + programma + " " + comando);
  }
  std::optional<DetentoreBlocco> Detentore() const override { return detentore; }

 private:
  void Evento(const std::string& e) {
    eventi.push_back(e);
    if (anche) anche->push_back("blocco:" + e);
  }
  bool tenuto_ = false;
};

}  // namespace cw::test
