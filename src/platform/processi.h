#pragma once
// Starting programs from a Windows command line, waiting for them and ending
// them: what the compile loop, the registration of EXE servers and the
// viewer need, and what a run of several builds at once needs (a wait for
// the first of several).

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cw {

// Window styles handed to a started program.
enum StileFinestra : int { kFinestraNascosta = 0, kFinestraNormale = 1, kFinestraRidotta = 2 };

// A top-level window a program shows, as read while it runs: its caption and
// the texts of its controls (a dialog's static texts and button captions),
// in UTF-8.
struct FinestraMostrata {
  std::string titolo;
  std::vector<std::string> testi;
  bool operator==(const FinestraMostrata&) const = default;
};

enum class EsitoAttesa {
  Finito,   // it has ended: CodiceUscita tells how
  InCorso,  // the limit passed first
  Fallita,  // nobody can tell any more (the agent under Wine is gone)
};

// A wait with no limit.
inline constexpr std::chrono::milliseconds kSenzaLimite = std::chrono::milliseconds::max();

// One program started, held from its start so that its exit code cannot be
// lost however soon it ends. Used from one thread at a time. Letting go of
// it (the destructor) leaves a program still running to run on; it is still
// collected when it ends.
class ProgrammaAvviato {
 public:
  virtual ~ProgrammaAvviato() = default;
  // Waits at most limite for its end. On Linux, once PreparaFineSuSegnale has
  // run, a signal that arrives meanwhile ends the program and throws
  // FineSuSegnale.
  virtual EsitoAttesa Attendi(std::chrono::milliseconds limite) = 0;
  // Its exit code once a wait has seen it end (on Linux a signal n reads
  // 128 + n); none while it runs.
  virtual std::optional<std::uint32_t> CodiceUscita() const = 0;
  // Ends it with whatever it started, and waits for its end; nothing for one
  // that has ended.
  virtual void Termina() = 0;
  // The windows it and what it started show; none where they show none or
  // the platform cannot read them (a program of the host's own).
  virtual std::vector<FinestraMostrata> Finestre() { return {}; }
};

class Processi {
 public:
  virtual ~Processi() = default;
  // Starts the command line. A program that cannot be found or started
  // raises error 53.
  virtual std::unique_ptr<ProgrammaAvviato> Avvia(const std::string& riga, int stile) = 0;
  // Waits at most limite for the first of several running programs to end
  // (or for its wait to fail): its index; none when the limit passes first.
  // Here by turns, a short wait on each; a platform may wait on all at once.
  virtual std::optional<std::size_t> AttendiPrimo(std::span<ProgrammaAvviato* const> programmi,
                                                  std::chrono::milliseconds limite);
};

}  // namespace cw
