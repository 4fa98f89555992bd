#include "platform/windows/blocco_prefisso_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <thread>

#include "platform/windows/cartella_prova.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

// Another instance, on a thread of its own: a mutex belongs to the thread
// that takes it.
PresaBlocco Altra(const std::string& radice, std::string* motivo = nullptr) {
  PresaBlocco esito = PresaBlocco::Impossibile;
  std::thread([&] {
    BloccoPrefissoWin32 altra(radice);
    esito = altra.Prendi();
    if (motivo) *motivo = altra.Motivo();
  }).join();
  return esito;
}

// The lock is the suite's folder, however its path is spelled and whatever
// is done to it meanwhile: a second holder is refused, and a folder that
// cannot be locked is a refusal that names it and says why.
TEST(BloccoPrefissoWin32, OneHolderPerSuiteFolder) {
  prova::CartellaProva dir;
  ASSERT_TRUE(CreateDirectoryW(Wide(dir / "Wexo").c_str(), nullptr));
  CloseHandle(CreateFileW(Wide(dir / "un file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  // Windows keeps the folder from being renamed, Wine does not: either way
  // the folder then found at its path is still held.
  const auto altraAlPosto = [&] {
    if (MoveFileW(Wide(dir / "Wexo").c_str(), Wide(dir / "Altrove").c_str()))
      CreateDirectoryW(Wide(dir / "Wexo").c_str(), nullptr);
  };
  const struct {
    const char* cosa;
    std::string radice;
    PresaBlocco esito;
    const char* motivo;
    std::function<void()> prima;
  } casi[] = {
      {"the same path", dir / "Wexo\\", PresaBlocco::Occupata, "", [] {}},
      {"another spelling", dir / "WEXO", PresaBlocco::Occupata, "", [] {}},
      {"a folder put in its place", dir / "Wexo", PresaBlocco::Occupata, "", altraAlPosto},
      // Nothing there to keep: taken by its name, the command then fails at
      // its first file with the error that names it.
      {"missing", dir / "manca\\", PresaBlocco::Presa, "", [] {}},
      {"a file", dir / "un file", PresaBlocco::Impossibile, "non è una cartella", [] {}},
  };
  BloccoPrefissoWin32 primo(dir / "Wexo\\");
  ASSERT_EQ(primo.Prendi(), PresaBlocco::Presa);
  EXPECT_EQ(primo.Prendi(), PresaBlocco::Presa);  // again by its holder
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cosa);
    c.prima();
    std::string motivo;
    EXPECT_EQ(Altra(c.radice, &motivo), c.esito);
    if (c.esito == PresaBlocco::Impossibile) {
      EXPECT_EQ(motivo, "Impossibile bloccare la cartella \"" + c.radice +
                            "\" contro un'altra istanza di CompilaWexo: " + c.motivo +
                            ". Nessun file è stato modificato.");
    }
  }
  primo.Lascia();
  EXPECT_EQ(Altra(dir / "Wexo"), PresaBlocco::Presa);
}

}  // namespace
}  // namespace cw
