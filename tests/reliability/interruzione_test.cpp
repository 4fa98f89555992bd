// The batch front end's "versione" over the whole suite of a sandbox, killed
// with SIGKILL at many points of its run. Whatever the point, every project
// file holds its old content or its new one, except at most one whose
// "_tmp" copy holds the old content in full; the rows are done in order.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogo.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/processi_linux.h"
#include "reliability/programma_batch.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"

namespace cw::test {
namespace {

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

// How a project file stands after a kill, from best to worst.
enum class Stato {
  Vecchio,        // old content, no copy (or a copy being made)
  Nuovo,          // new content, no copy
  NuovoConCopia,  // new content, its copy not yet deleted
  DaCopia,        // neither: the copy holds the old content in full
  Perso,          // nothing holds the old content
};

const char* Nome(Stato s) {
  switch (s) {
    case Stato::Vecchio: return "old";
    case Stato::Nuovo: return "new";
    case Stato::NuovoConCopia: return "new, its _tmp copy still there";
    case Stato::DaCopia: return "being written, its _tmp copy whole";
    case Stato::Perso: return "LOST";
  }
  return "?";
}

class Interruzione : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CopiaBatch(radice.Dir() / "bin")) GTEST_SKIP() << "compilawexo-batch is not built beside the test";
    batch = radice.Dir() / "bin" / "compilawexo-batch";

    CaricaCatalogo(catalogo);
    sandbox::CreaSandbox(sandbox, catalogo, {});
    for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
      progetti.push_back(Host(catalogo.FileProgettoCompleto(i)));
      vecchi.push_back(LeggiFile(progetti.back()));
      // All five backup generations already there, so every run shifts
      // them all and takes as long as the one that is timed.
      for (int k = 1; k <= 5; ++k) ScriviFile(progetti.back().string() + "_" + std::to_string(k), vecchi.back());
    }
  }

  fs::path Host(const std::string& windows) const {
    const auto host = DriveTable(sandbox).Resolve(windows);
    if (!host) ADD_FAILURE() << windows << " is not in the sandbox";
    return host.value_or(fs::path());
  }

  // Starts "versione 2.0.5" and kills it after the delay (none: waits for
  // it). Returns the exit status, or -1 when the kill found it running.
  int Esegui(std::chrono::microseconds ritardo, bool uccidi) {
    std::vector<std::string> ambiente = AmbienteConPrefisso(sandbox);
    std::vector<std::string> argomenti{batch.string(), "versione", "--principale", "2",
                                       "--secondario", "0",        "--revisione",  "5"};
    const std::vector<char*> envp = Puntatori(ambiente), argv = Puntatori(argomenti);

    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_addopen(&azioni, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, batch.c_str(), &azioni, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&azioni);
    if (rc != 0) {
      ADD_FAILURE() << "cannot start " << batch << ": " << rc;
      return -2;
    }
    int stato = 0;
    if (uccidi) {
      std::this_thread::sleep_for(ritardo);
      if (::waitpid(pid, &stato, WNOHANG) == pid) return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128;
      ::kill(pid, SIGKILL);
    }
    while (::waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(stato) && WTERMSIG(stato) == SIGKILL && uccidi) return -1;
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
  }

  Stato Classifica(size_t i) const {
    const std::string ora = LeggiFile(progetti[i]);
    const fs::path copia = progetti[i].string() + "_tmp";
    const bool haCopia = fs::exists(copia);
    const bool copiaIntera = haCopia && LeggiFile(copia) == vecchi[i];
    if (ora == nuovi[i]) return haCopia ? Stato::NuovoConCopia : Stato::Nuovo;
    if (ora == vecchi[i]) return Stato::Vecchio;
    return copiaIntera ? Stato::DaCopia : Stato::Perso;
  }

  void Ripristina() {
    for (size_t i = 0; i < progetti.size(); ++i) {
      ScriviFile(progetti[i], vecchi[i]);
      fs::remove(progetti[i].string() + "_tmp");
    }
  }

  PrefissoTemporaneo radice;  // only its folder: the sandbox and the program go inside
  fs::path sandbox = radice.Dir() / "sandbox";
  fs::path batch;
  CatalogoComponenti catalogo;
  std::vector<fs::path> progetti;
  std::vector<std::string> vecchi, nuovi;
};

TEST_F(Interruzione, KilledAtAnyPointEveryProjectFileIsOldNewOrRecoverable) {
  // A whole run gives the new contents; a second one, from the old files
  // put back as before every kill, the run's length.
  ASSERT_EQ(Esegui({}, false), 0);
  for (size_t i = 0; i < progetti.size(); ++i) {
    nuovi.push_back(LeggiFile(progetti[i]));
    ASSERT_NE(nuovi[i], vecchi[i]) << progetti[i];
    ASSERT_NE(nuovi[i].find("\r\nMajorVer=2\r\n"), std::string::npos) << progetti[i];
    ASSERT_FALSE(fs::exists(progetti[i].string() + "_tmp"));
  }
  Ripristina();
  const auto inizio = Orologio::now();
  ASSERT_EQ(Esegui({}, false), 0);
  const auto durata = std::chrono::duration_cast<std::chrono::microseconds>(Orologio::now() - inizio);

  // 1, 2, 5, 10, 20, 50 ... ms up to the run's length, and as many points
  // again spread evenly over it, so the rewrite phase gets its share.
  std::vector<std::chrono::microseconds> punti;
  for (long ms = 1; std::chrono::milliseconds(ms) < durata; ms *= 10)
    for (const long f : {1L, 2L, 5L})
      if (std::chrono::milliseconds(ms * f) < durata) punti.emplace_back(std::chrono::milliseconds(ms * f));
  const int uniformi = 30;
  for (int k = 1; k <= uniformi; ++k) punti.push_back(durata * k / uniformi);
  std::sort(punti.begin(), punti.end());

  Stato peggiore = Stato::Vecchio;
  std::string doveIlPeggiore;
  int uccisi = 0, daCopia = 0, conCopiaNuova = 0, finiti = 0;
  std::string riassunto;
  for (const auto punto : punti) {
    Ripristina();
    const int esito = Esegui(punto, true);
    if (esito == -1)
      ++uccisi;
    else
      ++finiti;
    std::vector<Stato> stati;
    for (size_t i = 0; i < progetti.size(); ++i) stati.push_back(Classifica(i));
    const int nuovi_ = static_cast<int>(std::count_if(
        stati.begin(), stati.end(), [](Stato s) { return s == Stato::Nuovo || s == Stato::NuovoConCopia; }));
    const int recuperabili = static_cast<int>(std::count(stati.begin(), stati.end(), Stato::DaCopia));
    const int copie = static_cast<int>(std::count(stati.begin(), stati.end(), Stato::NuovoConCopia));
    std::string descrizione = std::to_string(punto.count() / 1000) + " ms: " + std::to_string(nuovi_) + " new";
    for (size_t k = 0; k < stati.size(); ++k)
      if (stati[k] == Stato::DaCopia)
        descrizione += ", 1 from _tmp (" + std::to_string(fs::file_size(progetti[k])) + " of " +
                       std::to_string(nuovi[k].size()) + " bytes written)";
    if (copie) descrizione += ", 1 new with _tmp left";
    if (esito != -1) descrizione += " (had ended)";
    riassunto += (riassunto.empty() ? "" : "; ") + descrizione;
    EXPECT_LE(recuperabili + copie, 1) << descrizione;
    // In order: the new ones first, then at most one in between, then the old.
    size_t i = 0;
    while (i < stati.size() && (stati[i] == Stato::Nuovo)) ++i;
    if (i < stati.size() && (stati[i] == Stato::DaCopia || stati[i] == Stato::NuovoConCopia)) ++i;
    while (i < stati.size() && stati[i] == Stato::Vecchio) ++i;
    EXPECT_EQ(i, stati.size()) << descrizione << "; row " << i << " is " << Nome(stati[std::min(i, stati.size() - 1)]);
    for (size_t k = 0; k < stati.size(); ++k) {
      EXPECT_NE(stati[k], Stato::Perso) << progetti[k] << " after a kill at " << descrizione;
      // Every file put back before a run held the old content, so every
      // generation and every "_tmp" that exists must hold it whole.
      for (const std::string fine : {"_1", "_2", "_3", "_4", "_5", "_tmp"}) {
        const fs::path copia = progetti[k].string() + fine;
        if (fs::exists(copia)) {
          EXPECT_EQ(LeggiFile(copia), vecchi[k]) << copia << " after a kill at " << descrizione;
        }
      }
      if (stati[k] > peggiore) {
        peggiore = stati[k];
        doveIlPeggiore = progetti[k].filename().string() + " after a kill at " + descrizione;
      }
    }
    daCopia += recuperabili;
    conCopiaNuova += copie;
  }
  std::cout << "[ numbers  ] run of " << durata.count() / 1000 << " ms; " << punti.size() << " kill points, " << uccisi
            << " killed mid-run, " << finiti << " had ended; " << daCopia << " times a file in the write window, "
            << conCopiaNuova << " times a copy left beside a new file" << std::endl;
  std::cout << "[ numbers  ] worst state seen: " << Nome(peggiore)
            << (doveIlPeggiore.empty() ? "" : " (" + doveIlPeggiore + ")") << std::endl;
  std::cout << "[ numbers  ] " << riassunto << std::endl;
}

}  // namespace
}  // namespace cw::test
