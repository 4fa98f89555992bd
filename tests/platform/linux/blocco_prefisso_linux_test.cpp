#include "platform/linux/blocco_prefisso_linux.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
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

// The holder writes down who it is; the refused instance reads it back, and
// a record that is garbled or left by a holder that has gone is none.
TEST(BloccoPrefissoLinux, TheRefusedInstanceReadsWhoHoldsIt) {
  test::PrefissoTemporaneo dir;
  fs::create_directory(dir.Dir() / "suite");
  fs::create_directory(dir.Dir() / "registri");
  const fs::path suite = dir.Dir() / "suite", registri = dir.Dir() / "registri";
  BloccoPrefissoLinux tiene(suite, registri), rifiutata(suite, registri);
  ASSERT_EQ(tiene.Prendi(), PresaBlocco::Presa);
  EXPECT_EQ(rifiutata.Detentore(), std::nullopt);  // held, nothing written down yet
  tiene.Annota("compilawexo-batch", "tutto");
  ASSERT_EQ(rifiutata.Prendi(), PresaBlocco::Occupata);
  const auto chi = rifiutata.Detentore();
  ASSERT_TRUE(chi);
  EXPECT_EQ(chi->programma, "compilawexo-batch");
  EXPECT_EQ(chi->comando, "tutto");
  EXPECT_EQ(chi->pid, ::getpid());
  EXPECT_LE(std::abs(chi->inizio - std::time(nullptr)), 5);
  ASSERT_EQ(std::distance(fs::directory_iterator(registri), fs::directory_iterator()), 1);
  const fs::path registro = fs::directory_iterator(registri)->path();

  const struct {
    const char* cosa;
    std::string testo;
  } kNessuno[] = {
      {"garbled", "programma=\x01\n"},
      {"a holder that has gone", "programma=a\ncomando=b\npid=2147483646\ninizio=5\n"},
  };
  for (const auto& c : kNessuno) {
    std::ofstream(registro, std::ios::binary | std::ios::trunc) << c.testo;
    EXPECT_EQ(rifiutata.Detentore(), std::nullopt) << c.cosa;
  }
  tiene.Lascia();
  EXPECT_FALSE(fs::exists(registro));  // removed while still held
  EXPECT_EQ(rifiutata.Prendi(), PresaBlocco::Presa);
}

}  // namespace
}  // namespace cw
