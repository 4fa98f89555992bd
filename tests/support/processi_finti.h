#pragma once
// A process service that starts nothing: it records each call, hands the
// command line to the test's stand-in for the program, and answers as a
// program that ends at once with exit code 0, or as told by its line.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/processes.h"

namespace cw::test {

class ProcessiFinti : public Processes {
 public:
  struct Avvio {
    std::string riga;
    int stile;
    bool operator==(const Avvio&) const = default;
  };
  std::vector<Avvio> avvii;
  // "shell:<line>", "open:<access>:<inherit>:<pid>", "wait:<ms>", "close:<handle>", "terminate:<handle>", in order.
  std::vector<std::string> eventi;
  // Plays the started program; runs inside Shell.
  std::function<void(const std::string& riga)> programma;
  bool nonAvviabile = false;  // Shell raises 53
  bool senzaHandle = false;   // OpenProcess answers 0
  // The exit code of a program by its command line (0 when not given); one
  // in appesi never ends.
  std::map<std::string, std::uint32_t> codici;
  std::set<std::string> appesi;
  // Programs whose wait fails, as when whoever watches them is gone.
  std::set<std::string> persi;
  // How long a program runs by its command line, ms: a shorter wait times out.
  std::map<std::string, std::uint32_t> durate;
  std::vector<FinestraMostrata> finestre;  // what FinestreMostrate reads
  bool schermo = false;                    // SalvaSchermata succeeds

  // The n-th start's identifier is 4000 + n, and its handle one more.
  std::uint32_t Shell(const std::string& riga, int stile) override {
    eventi.push_back("shell:" + riga);
    if (nonAvviabile) SollevaErrore(kFileNonTrovato);
    avvii.push_back({riga, stile});
    if (programma) programma(riga);
    return 4000 + static_cast<std::uint32_t>(avvii.size());
  }
  HandleProcesso OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override {
    eventi.push_back("open:" + std::to_string(access) + ":" + std::to_string(inherit) + ":" + std::to_string(pid));
    return senzaHandle ? 0 : static_cast<HandleProcesso>(pid) + 1;
  }
  std::uint32_t WaitForSingleObject(HandleProcesso h, std::uint32_t ms) override {
    eventi.push_back("wait:" + std::to_string(ms));
    if (Riga(h) && persi.count(*Riga(h))) return kWaitFailed;
    const auto d = Riga(h) ? durate.find(*Riga(h)) : durate.end();
    return Appeso(h) || (d != durate.end() && ms != kInfinite && d->second > ms) ? kWaitTimeout : kWaitObject0;
  }
  void CloseHandle(HandleProcesso h) override { eventi.push_back("close:" + std::to_string(h)); }
  HandleProcesso AvviaConHandle(const std::string& riga, int stile) override {
    return static_cast<HandleProcesso>(Shell(riga, stile)) + 1;
  }
  bool GetExitCodeProcess(HandleProcesso h, std::uint32_t& code) override {
    if (Appeso(h)) return false;
    const auto c = Riga(h) ? codici.find(*Riga(h)) : codici.end();
    code = c == codici.end() ? 0 : c->second;
    return true;
  }
  void TerminateProcess(HandleProcesso h) override { eventi.push_back("terminate:" + std::to_string(h)); }
  std::vector<FinestraMostrata> FinestreMostrate(HandleProcesso h) override {
    eventi.push_back("finestre:" + std::to_string(h));
    return finestre;
  }
  bool SalvaSchermata(const std::string& percorso) override {
    eventi.push_back("schermata:" + percorso);
    return schermo;
  }

 private:
  // The command line a handle was started with; null for one never given.
  const std::string* Riga(HandleProcesso h) const {
    const auto n = static_cast<std::size_t>(h - 4002);
    return h >= 4002 && n < avvii.size() ? &avvii[n].riga : nullptr;
  }
  bool Appeso(HandleProcesso h) const { return Riga(h) && appesi.count(*Riga(h)); }
};

}  // namespace cw::test
