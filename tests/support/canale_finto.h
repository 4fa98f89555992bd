#pragma once
// A registration channel with no worker behind it: it records each request
// and each end of a worker, and answers Conclusa with S_OK, or the answers
// queued.

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "registration/canale_registrazione.h"

namespace cw::test {

class CanaleFinto : public CanaleRegistrazione {
 public:
  struct Richiesta {
    std::string entryPoint;
    std::string percorso;
    std::chrono::milliseconds limite;
    bool operator==(const Richiesta&) const = default;
  };
  std::vector<Richiesta> richieste;
  std::deque<EsitoRegistrazione> esiti;  // the next answers
  // "chiedi:<entry point>" and "termina", in order.
  std::vector<std::string> eventi;

  EsitoRegistrazione Chiedi(const std::string& entryPoint, const std::string& percorso,
                            std::chrono::milliseconds limite, Attesa*) override {
    richieste.push_back({entryPoint, percorso, limite});
    eventi.push_back("chiedi:" + entryPoint);
    if (esiti.empty()) return Conclusa(0);
    const EsitoRegistrazione e = esiti.front();
    esiti.pop_front();
    return e;
  }
  void Termina() override { eventi.push_back("termina"); }

  // The entry point returned this result.
  static EsitoRegistrazione Conclusa(std::int32_t risultato) {
    EsitoRegistrazione e(RispostaRegistrazione::Conclusa);
    e.risultato = risultato;
    return e;
  }
};

}  // namespace cw::test
