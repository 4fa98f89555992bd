#pragma once
// The trace of what the tool asks of the host, for when something goes wrong
// where nobody can watch it: every program start (its line, the host file,
// how it runs and under which loader), every wait (its limit, how it ended,
// how long it took), every request to the agent and its reply, every lock,
// every file replaced. One line each, after the seconds since the trace
// began. Off unless asked for (--debug, COMPILAWEXO_DEBUG=FILE): then a call
// costs one test of a pointer and builds nothing.

#include <atomic>
#include <string>
#include <string_view>

namespace cw {

class Traccia {
 public:
  virtual ~Traccia() = default;
  // One line: its kind ("avvio", "attesa", "agente", "blocco", "file") and
  // what happened, UTF-8. Called from any thread.
  virtual void Scrivi(std::string_view tipo, std::string_view testo) = 0;
};

namespace dettaglio {
inline std::atomic<Traccia*> tracciaAttiva{nullptr};
}  // namespace dettaglio

// The program's trace, set by its front end at its start; null: off. The
// trace must outlive every call (the front end's whole life).
inline void ImpostaTraccia(Traccia* traccia) { dettaglio::tracciaAttiva.store(traccia, std::memory_order_release); }
inline bool TracciaAccesa() { return dettaglio::tracciaAttiva.load(std::memory_order_relaxed) != nullptr; }

// Writes the line testo() builds, only when the trace is on.
template <class Testo>
void ScriviTraccia(std::string_view tipo, Testo&& testo) {
  if (Traccia* t = dettaglio::tracciaAttiva.load(std::memory_order_acquire)) t->Scrivi(tipo, testo());
}

}  // namespace cw
