#pragma once
// An instance lock that only answers: taken, unless the test says it is
// held elsewhere or cannot be taken; it records each take and each release.

#include <string>
#include <vector>

#include "platform/blocco_prefisso.h"

namespace cw::test {

class BloccoFinto : public BloccoPrefisso {
 public:
  PresaBlocco esito = PresaBlocco::Presa;  // what every Prendi answers
  std::string motivo;                      // what Motivo says after Impossibile
  std::vector<std::string> eventi;         // "prendi" and "lascia", in order

  PresaBlocco Prendi() override {
    eventi.push_back("prendi");
    return esito;
  }
  std::string Motivo() const override { return motivo; }
  void Lascia() override { eventi.push_back("lascia"); }
};

}  // namespace cw::test
