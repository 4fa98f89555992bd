#pragma once
// The instance lock on Windows, over the suite rather than one installed
// copy of the tool: a named mutex (machine-wide, "Global\") named after the
// suite's root folder as the system resolves its path, which the system lets
// go of when its holder dies. The root folder stays open without delete
// sharing while the lock is held, so Windows lets nobody rename or remove it
// from under the command (Wine does not keep a folder so).
//
// Who holds it is written in a record in the temporary folder, named after
// the mutex: an instance of another user, whose temporary folder is its own,
// reads none and gets the refusal without the holder.
//
// A mutex belongs to the thread that took it: Lascia is called on that
// thread (every command takes and leaves it on one).

#include <string>

#include "platform/blocco_prefisso.h"

namespace cw {

class BloccoPrefissoWin32 : public BloccoPrefisso {
 public:
  // radice: the root folder, a Windows path (UTF-8).
  explicit BloccoPrefissoWin32(std::string radice) : radice_(std::move(radice)) {}
  ~BloccoPrefissoWin32() override { Lascia(); }
  BloccoPrefissoWin32(const BloccoPrefissoWin32&) = delete;
  BloccoPrefissoWin32& operator=(const BloccoPrefissoWin32&) = delete;

  PresaBlocco Prendi() override;
  std::string Motivo() const override { return motivo_; }
  void Lascia() override;
  void Annota(const std::string& programma, const std::string& comando) override;
  std::optional<DetentoreBlocco> Detentore() const override;

 private:
  PresaBlocco Rifiuta(unsigned long codice);
  // Takes the machine-wide mutex of that name; cartella (may be null) is kept
  // open with it, or closed when it is not taken.
  PresaBlocco PrendiMutex(const std::wstring& nome, void* cartella);

  std::string radice_;
  void* cartella_ = nullptr;
  void* mutex_ = nullptr;
  std::string motivo_;
  std::wstring registro_;  // the record's path for the mutex last asked for
  bool annotato_ = false;  // written while held: removed before the lock goes
};

}  // namespace cw
