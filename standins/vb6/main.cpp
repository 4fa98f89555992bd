// standin-vb6: stands in for the development environment's command-line
// build, "VB6.EXE /make P /outdir D /out E" (esecuzione.h). The paths arrive
// as Windows paths and are resolved through the drive table of $WINEPREFIX.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "esecuzione.h"
#include "platform/linux/drive_table_linux.h"

namespace {

// File names of the stand-in components beside the stand-in itself; an
// application gets a shell script that exits at once.
constexpr const char* kServerInProcesso = "standin-component.so";
constexpr const char* kServerEseguibile = "standin-exeserver";

class UnitaDelPrefisso : public cw::vb6::Unita {
 public:
  explicit UnitaDelPrefisso(cw::DriveTable unita) : unita_(std::move(unita)) {}
  std::optional<std::filesystem::path> Resolve(const std::string& p) const override { return unita_.Resolve(p); }
  std::optional<std::filesystem::path> ResolveForCreate(const std::string& p) const override {
    return unita_.ResolveForCreate(p);
  }

 private:
  cw::DriveTable unita_;
};

// The stand-in components live beside the stand-in (the sandbox links
// VB6.EXE to it); CW_STANDIN_COMPONENTI names another folder.
std::filesystem::path CartellaComponenti() {
  if (const char* c = std::getenv("CW_STANDIN_COMPONENTI"); c && *c) return c;
  std::error_code ec;
  const auto io = std::filesystem::canonical("/proc/self/exe", ec);
  return ec ? std::filesystem::path{} : io.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> argomenti(argv + 1, argv + argc);
  const char* noop = std::getenv("CW_STANDIN_VB6_NOOP");
  const UnitaDelPrefisso unita(cw::DriveTable::FromEnvironment());
  auto variabile = [](const char* nome) -> std::optional<std::string> {
    const char* v = std::getenv(nome);
    return v ? std::optional<std::string>(v) : std::nullopt;
  };
  std::string errore;
  const auto ordine = cw::vb6::LeggiOrdine(variabile("CW_STANDIN_INIZIO"), variabile("CW_STANDIN_MS"), errore);
  if (!ordine) {
    std::fprintf(stderr, "standin-vb6: %s\n", errore.c_str());
    return 2;
  }
  // A question nobody on this side can answer: the build waits for ever, as
  // the real environment does unattended.
  return cw::vb6::Esegui(
      argomenti, unita, {CartellaComponenti(), kServerInProcesso, kServerEseguibile, {}},
      noop && std::strcmp(noop, "1") == 0,
      [](const std::string&) {
        for (;;) ::pause();
      },
      *ordine);
}
