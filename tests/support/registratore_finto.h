#pragma once
// A RegistraDll that registers nothing: it records each call and answers
// true, or false for the paths that fail and for the answers queued.

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "registration/registratore.h"

namespace cw::test {

class RegistratoreFinto : public RegistratoreDll {
 public:
  struct Chiamata {
    std::string percorso;
    std::int32_t flag;
    bool operator==(const Chiamata&) const = default;
  };
  std::vector<Chiamata> chiamate;
  std::set<std::string> falliscono;  // these paths fail at every call
  std::deque<bool> esiti;            // the next answers for the others, true when the queue is empty
  std::function<void()> alChiamare;  // runs once the call is recorded

  bool RegistraDll(const std::string& percorso, std::int32_t flag) override {
    chiamate.push_back({percorso, flag});
    if (alChiamare) alChiamare();
    if (falliscono.count(percorso)) return false;
    if (esiti.empty()) return true;
    const bool e = esiti.front();
    esiti.pop_front();
    return e;
  }
};

}  // namespace cw::test
