#pragma once
// The instance lock on Linux: an flock on a folder itself (the suite's root
// as the prefix resolves it), which the kernel lets go of when the holder
// dies. A lock file could be deleted, or
// replaced by a folder, under a running instance and let a second one in;
// the folder cannot go while the tool writes in it.
//
// Who holds it is written in a record of its own, in the temporary folder
// (not in the suite, which is under version control), named after the locked
// folder's device and inode, so every path of one folder finds one record.

#include <filesystem>
#include <string>

#include "platform/blocco_prefisso.h"

namespace cw {

class BloccoPrefissoLinux : public BloccoPrefisso {
 public:
  // registri: where the holders' records go; empty: the system's temporary folder.
  explicit BloccoPrefissoLinux(std::filesystem::path cartella, std::filesystem::path registri = {})
      : cartella_(std::move(cartella)), registri_(std::move(registri)) {}
  ~BloccoPrefissoLinux() override { Lascia(); }
  BloccoPrefissoLinux(const BloccoPrefissoLinux&) = delete;
  BloccoPrefissoLinux& operator=(const BloccoPrefissoLinux&) = delete;

  PresaBlocco Prendi() override;
  std::string Motivo() const override { return motivo_; }
  void Lascia() override;
  void Annota(const std::string& programma, const std::string& comando) override;
  std::optional<DetentoreBlocco> Detentore() const override;

 private:
  // The record's path for the folder open as fd; empty when it cannot be told.
  std::filesystem::path Registro(int fd) const;

  std::filesystem::path cartella_, registri_;
  std::filesystem::path registro_;  // the record written while held
  int fd_ = -1;
  std::string motivo_;
};

}  // namespace cw
