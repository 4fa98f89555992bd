// compilawexo-batch as a process over a sandbox, sent a real signal while
// it waits for a program, or writing into a pipe whose reader has gone.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogo.h"
#include "platform/fine_su_segnale.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/processi_linux.h"
#include "reliability/programma_batch.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"
#include "support/sistema_prova.h"

namespace cw::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool Entro(std::chrono::milliseconds limite, const std::function<bool()>& condizione) {
  const auto fine = std::chrono::steady_clock::now() + limite;
  while (!condizione()) {
    if (std::chrono::steady_clock::now() > fine) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// Running: there and not a zombie.
bool InVita(pid_t pid) {
  const std::string stat = LeggiFile("/proc/" + std::to_string(pid) + "/stat");
  const auto chiusa = stat.rfind(')');
  return chiusa != std::string::npos && chiusa + 2 < stat.size() && stat[chiusa + 2] != 'Z';
}

// The identifiers a planted program wrote into its file, once it has.
std::vector<pid_t> Pid(const fs::path& file) {
  std::vector<pid_t> out;
  std::ifstream in(file);
  for (long p; in >> p;) out.push_back(static_cast<pid_t>(p));
  return out;
}

class Segnali : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CopiaBatch(radice.Dir() / "bin", {"compilawexo-regworker"}))
      GTEST_SKIP() << "compilawexo-batch is not built beside the test";
    CaricaCatalogo(catalogo);
  }

  void CreaSandbox(const std::vector<sandbox::Installazione>& programmi) {
    sandbox::OpzioniSandbox opzioni;
    opzioni.installa = programmi;
    sandbox::CreaSandbox(sbx, catalogo, opzioni);
  }

  fs::path Script(const std::string& nome, const std::string& corpo) {
    const fs::path p = radice.Dir() / nome;
    std::ofstream(p) << "#!/bin/sh\n" << corpo << "\n";
    fs::permissions(p, fs::perms::owner_all);
    return p;
  }

  // Starts the program with the words; its output into the descriptor, or /dev/null.
  pid_t Avvia(const std::vector<std::string>& parole, int uscita = -1) {
    std::vector<std::string> ambiente = AmbienteConPrefisso(sbx);
    std::vector<std::string> argomenti{(radice.Dir() / "bin" / "compilawexo-batch").string()};
    argomenti.insert(argomenti.end(), parole.begin(), parole.end());
    const std::vector<char*> argv = Puntatori(argomenti), envp = Puntatori(ambiente);
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    if (uscita >= 0)
      posix_spawn_file_actions_adddup2(&azioni, uscita, STDOUT_FILENO);
    else
      posix_spawn_file_actions_addopen(&azioni, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // Its own group, as a job of a shell: a signal reaches it alone.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &azioni, &attr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&azioni);
    posix_spawnattr_destroy(&attr);
    return pid;
  }

  // The exit status; 1000 + the signal when one ended it.
  static int Stato(pid_t pid) {
    int s = 0;
    while (::waitpid(pid, &s, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(s) ? WEXITSTATUS(s) : 1000 + WTERMSIG(s);
  }

  PrefissoTemporaneo radice;
  fs::path sbx = radice.Dir() / "sbx";
  CatalogoComponenti catalogo;
};

// Whether any process still carries in its environment the mark of what
// that process started.
bool MarcatoDa(pid_t batch) {
  const std::string marca = "CW_DISCENDENZA_" + std::to_string(batch) + "_";
  for (const auto& voce : fs::directory_iterator("/proc")) {
    const std::string ambiente = LeggiFile(voce.path() / "environ");
    if (ambiente.starts_with(marca) || ambiente.find('\0' + marca) != std::string::npos) return true;
  }
  return false;
}

// Whatever it waits for (the registration worker and what its component
// started, a build that ignores SIGTERM, a build or a viewer that is a script
// with a child of its own, one that left for a session of its own), a signal
// ends it all and then the run, with 128 + the signal; a SIGKILL, which the
// tool never sees, all the same.
TEST_F(Segnali, ASignalDuringAWaitEndsWhatItWaitsForThenTheRun) {
  const std::vector<std::string> tutto{"tutto",        "binaria", "--principale", "1",
                                       "--secondario", "0",       "--revisione",  "0"};
  std::vector<std::string> conVisualizzatore = tutto;
  conVisualizzatore.insert(conVisualizzatore.end(), {"--visualizzatore", (radice.Dir() / "visualizzatore").string()});
  // Every script writes its own identifier and its child's into the prefix.
  constexpr const char* kIgnoraTerm = "echo $$ > \"$WINEPREFIX/cw.pid\"\ntrap '' TERM\nexec sleep 600";
  constexpr const char* kConNipote = "(trap '' TERM; exec sleep 600) &\necho $$ $! > \"$WINEPREFIX/cw.pid\"\nwait";
  constexpr const char* kConSessione =
      "setsid sh -c 'echo $$ >> \"$WINEPREFIX/cw.pid\"; trap \"\" TERM; exec sleep 600' &\n"
      "echo $$ >> \"$WINEPREFIX/cw.pid\"\nwait";
  constexpr const char* kFallisce =
      "echo 'Compilazione non completata.' >> \"$WINEPREFIX/drive_c/Progetti VB/Wexo/ErroriCompilazione.txt\"";
  struct Caso {
    const char* cosa;
    std::vector<std::string> parole;
    int segnale;
    const char* vb6;             // the build's script; null: the blocking component is registered
    const char* visualizzatore;  // the viewer's script
    size_t processi;             // identifiers the programs write
  };
  const Caso casi[] = {
      {"registra", {"registra"}, SIGTERM, nullptr, nullptr, 2},
      {"registra", {"registra"}, SIGHUP, nullptr, nullptr, 2},
      {"build", tutto, SIGINT, kIgnoraTerm, nullptr, 1},
      {"build", tutto, SIGTERM, kIgnoraTerm, nullptr, 1},
      {"build with a child", tutto, SIGHUP, kConNipote, nullptr, 2},
      {"viewer with a child", conVisualizzatore, SIGTERM, kFallisce, kConNipote, 2},
      {"build with a child in a session of its own", tutto, SIGTERM, kConSessione, nullptr, 2},
      {"build with a child in a session of its own", tutto, SIGKILL, kConSessione, nullptr, 2},
      {"registra", {"registra"}, SIGKILL, nullptr, nullptr, 2},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.cosa) + " " + strsignal(c.segnale));
    fs::remove_all(sbx);
    CreaSandbox({c.vb6 ? sandbox::Installazione{sandbox::kVb6, Script("vb6", c.vb6)}
                       : sandbox::Installazione{catalogo.FileOutputCompleto(0),
                                                CartellaEseguibile() / "standin-component-blocca.so"}});
    if (c.visualizzatore) Script("visualizzatore", c.visualizzatore);
    const fs::path filePid = sbx / (c.vb6 ? "cw.pid" : "blocca.pid");
    const pid_t batch = Avvia(c.parole);
    ASSERT_GT(batch, 0);
    std::vector<pid_t> attesi;
    ASSERT_TRUE(Entro(30s, [&] { return (attesi = Pid(filePid)).size() == c.processi; }));
    for (pid_t p : attesi) ASSERT_TRUE(InVita(p)) << p;

    ASSERT_EQ(::kill(batch, c.segnale), 0);
    EXPECT_EQ(Stato(batch), c.segnale == SIGKILL ? 1000 + SIGKILL : 128 + c.segnale);
    for (pid_t p : attesi) EXPECT_TRUE(Entro(5s, [&] { return !InVita(p); })) << p << " still runs";
    EXPECT_TRUE(Entro(5s, [&] { return !MarcatoDa(batch); }));
    for (pid_t p : attesi)
      if (InVita(p)) ::kill(p, SIGKILL);  // nothing left for the next case
  }
}

// A signal between a program's start and the wait for it still ends the
// program; the tool's normal exit leaves a program it never waited for be.
TEST(SegnaliAvvio, AProgramNotYetWaitedForEndsWithASignalButOutlivesANormalExit) {
  PrefissoTemporaneo prefisso;
  prefisso.Scrivi("C:\\Bin\\dorme.sh", "#!/bin/sh\necho $$ > \"$WINEPREFIX/dorme.pid\"\nexec sleep 600\n");
  fs::permissions(prefisso.Host("C:\\Bin\\dorme.sh"), fs::perms::owner_all);
  for (const bool segnale : {true, false}) {
    SCOPED_TRACE(segnale ? "signal" : "normal exit");
    fs::remove(prefisso.Dir() / "dorme.pid");
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t strumento = ::fork();
    ASSERT_GE(strumento, 0);
    if (strumento == 0) {
      test::SistemaDiProva().segnali->PreparaFineSuSegnale();
      ProcessiLinux processi{DriveTable(prefisso.Dir())};
      // The signal may come while the start is still being finished: it
      // ends the start as it ends a wait, never the test runner's copy.
      std::unique_ptr<ProgrammaAvviato> dorme;
      try {
        dorme = processi.Avvia("C:\\Bin\\dorme.sh", kFinestraNascosta);
      } catch (const FineSuSegnale& fine) {
        ::_exit(fine.CodiceUscita());
      }
      if (!segnale) std::exit(0);  // through the exit handlers
      ::pause();
      ::_exit(1);
    }
    pid_t programma = 0;
    ASSERT_TRUE(Entro(10s, [&] {
      std::ifstream(prefisso.Dir() / "dorme.pid") >> programma;
      return programma > 0;
    }));
    if (segnale) {
      ASSERT_EQ(::kill(strumento, SIGTERM), 0);
    }
    int stato = 0;
    ::waitpid(strumento, &stato, 0);
    if (segnale) {
      EXPECT_EQ(WEXITSTATUS(stato), 128 + SIGTERM);
      EXPECT_TRUE(Entro(5s, [&] { return !InVita(programma); })) << programma << " still runs";
    } else {
      std::this_thread::sleep_for(100ms);
      EXPECT_TRUE(InVita(programma));
      ::kill(programma, SIGKILL);
    }
  }
}

// Output into a pipe whose reader takes one byte and goes: the run finishes
// every file and exits as usual.
TEST_F(Segnali, AClosedOutputDoesNotStopTheRun) {
  CreaSandbox({});
  int tubo[2];
  ASSERT_EQ(::pipe2(tubo, O_CLOEXEC), 0);
  const pid_t batch = Avvia({"versione", "--principale", "7", "--secondario", "0", "--revisione", "3"}, tubo[1]);
  ::close(tubo[1]);
  char c;
  ASSERT_EQ(::read(tubo[0], &c, 1), 1);
  ::close(tubo[0]);
  EXPECT_EQ(Stato(batch), 0);
  const DriveTable unita(sbx);
  int nuovi = 0;
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i)
    nuovi += LeggiFile(*unita.Resolve(catalogo.FileProgettoCompleto(i))).find("MajorVer=7\r\n") != std::string::npos;
  EXPECT_EQ(nuovi, 148);
}

}  // namespace
}  // namespace cw::test
