#include "platform/linux/blocco_prefisso_linux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

// The lock is the prefix folder itself: what lies in it changes nothing, and
// a folder that cannot be locked is a refusal that names it and says why.
TEST(BloccoPrefissoLinux, TheFolderItselfIsLockedAndALockNotTakenIsNeverAPass) {
  test::PrefissoTemporaneo dir;
  std::ofstream(dir.Dir() / "un file");
  const struct {
    const char* cosa;
    fs::path cartella;
    bool tenuta;  // another instance holds it
    PresaBlocco esito;
    const char* motivo;
  } casi[] = {
      {"free", dir.Dir(), false, PresaBlocco::Presa, ""},
      {"held elsewhere", dir.Dir(), true, PresaBlocco::Occupata, ""},
      {"missing", dir.Dir() / "manca", false, PresaBlocco::Impossibile, "la cartella non esiste"},
      {"a file", dir.Dir() / "un file", false, PresaBlocco::Impossibile, "non è una cartella"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cosa);
    BloccoPrefissoLinux altra(c.cartella), questa(c.cartella);
    if (c.tenuta) {
      ASSERT_EQ(altra.Prendi(), PresaBlocco::Presa);
    }
    EXPECT_EQ(questa.Prendi(), c.esito);
    if (c.esito == PresaBlocco::Impossibile) {
      EXPECT_EQ(questa.Motivo(), "Impossibile bloccare la cartella \"" + c.cartella.string() +
                                     "\" contro un'altra istanza di CompilaWexo: " + c.motivo +
                                     ". Nessun file è stato modificato.");
    }
    if (c.esito != PresaBlocco::Presa) continue;
    EXPECT_EQ(questa.Prendi(), PresaBlocco::Presa);  // again by its holder
    EXPECT_EQ(altra.Prendi(), PresaBlocco::Occupata);
    questa.Lascia();
    EXPECT_EQ(altra.Prendi(), PresaBlocco::Presa);
  }
}

}  // namespace
}  // namespace cw
