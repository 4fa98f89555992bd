// The compile step under a real Wine, on one --wine sandbox for the program:
// the command line as the Windows development environment receives it, and
// a failed build shown in Wine's own Notepad under Xvfb.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/ansi.h"
#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/processi_linux.h"
#include "platform/trasporto_worker.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"
#include "support/wine_prova.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Leggi(const fs::path& file) {
  std::ostringstream testo;
  testo << std::ifstream(file, std::ios::binary).rdbuf();
  return testo.str();
}

// What a command printed (no Wine program among them, so a pipe is safe).
std::string Stampa(const std::string& comando) {
  std::string out;
  if (FILE* p = ::popen((comando + " 2>/dev/null").c_str(), "r")) {
    char b[256];
    for (size_t n; (n = std::fread(b, 1, sizeof b, p)) > 0;) out.append(b, n);
    ::pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

bool Presente(const char* programma) {
  return std::system((std::string("command -v ") + programma + " >/dev/null 2>&1").c_str()) == 0;
}

class CompilazioneWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    motivo_ = test::MotivoSenzaWine(daSaltare_);
    if (!motivo_.empty()) return;
    cartella_ = new test::CartellaTemporanea;
    catalogo_ = new CatalogoComponenti;
    CaricaCatalogo(*catalogo_);
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    try {
      sandbox::CreaSandbox(Prefisso(), *catalogo_,
                           {.programmiWindows = CW_WINDOWS_BIN_DIR, .a64 = test::ProgrammiWindowsA64()});
    } catch (const std::exception& e) {
      motivo_ = std::string("no Wine prefix could be made: ") + e.what();
      return;
    }
    std::system((Ambiente() + "wineserver -p >/dev/null 2>&1").c_str());
  }
  static void TearDownTestSuite() {
    if (!cartella_) return;
    std::system((Ambiente() + "wineserver -k >/dev/null 2>&1").c_str());
    delete catalogo_;
    delete cartella_;
  }
  void SetUp() override {
    if (motivo_.empty()) return;
    if (std::getenv("CI") && !daSaltare_) FAIL() << motivo_;
    GTEST_SKIP() << motivo_;
  }
  static fs::path Prefisso() { return cartella_->Dir() / "sandbox"; }
  static std::string Ambiente() { return "WINEPREFIX='" + Prefisso().string() + "' "; }

  static inline test::CartellaTemporanea* cartella_ = nullptr;
  static inline CatalogoComponenti* catalogo_ = nullptr;
  static inline std::string motivo_;
  static inline bool daSaltare_ = false;
};

TEST_F(CompilazioneWine, TheDevelopmentEnvironmentGetsTheCommandLineAsTheToolWroteIt) {
  // The stand-in appends the raw GetCommandLineW text to this file.
  const std::string registro = "C:\\righe-comando.txt";
  const fs::path host = Prefisso() / "drive_c" / "righe-comando.txt";
  ::setenv("CW_STANDIN_RIGHE_COMANDO", registro.c_str(), 1);
  ProcessiLinux processi{DriveTable(Prefisso())};
  struct Caso {
    std::string progetto, cartellaOutput;
  };
  const std::vector<Caso> casi = {
      {catalogo_->FileProgettoCompleto(0), (*catalogo_)(0, kCartellaOutput)},  // a folder without blanks
      {"C:\\Progetti VB\\Wexo\\Nuovo Progetto\\Il Progetto.vbp", "C:\\Orbalis\\Componenti Nuovi"},
      {"C:\\Progetti VB\\Wexo\\Utilita\\Utilita.vbp", "C:\\Orbalis\\Uscita di prova\\"},  // a trailing backslash
  };
  for (const Caso& c : casi) {
    fs::remove(host);
    const std::string riga = RigaDiComando(c.progetto, c.cartellaOutput);
    EXPECT_EQ(processi.Avvia(riga, kFinestraRidotta)->Attendi(kSenzaLimite), EsitoAttesa::Finito);
    std::string ricevuta = Leggi(host);
    if (!ricevuta.empty() && ricevuta.back() == '\n') ricevuta.pop_back();
    EXPECT_EQ(ricevuta, riga);
  }
  ::unsetenv("CW_STANDIN_RIGHE_COMANDO");
}

TEST_F(CompilazioneWine, AFailedBuildIsShownInNotepadAndTheRunEndsWhenItIsClosed) {
  for (const char* programma : {"Xvfb", "xdotool"}) {
    if (Presente(programma)) continue;
    if (std::getenv("CI")) FAIL() << programma << " is not installed";
    GTEST_SKIP() << programma << " is not installed";
  }
  const fs::path lavoro = cartella_->Dir();
  // One Xvfb for the test, on a display it picks itself.
  const fs::path schermo = lavoro / "schermo", pidXvfb = lavoro / "xvfb.pid";
  std::system(("Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>'" + schermo.string() +
               "' >/dev/null 2>&1 </dev/null & echo $! >'" + pidXvfb.string() + "'")
                  .c_str());
  std::string numero;
  for (int prova = 0; prova < 100 && numero.empty(); ++prova) {
    std::this_thread::sleep_for(100ms);
    const std::string letto = Leggi(schermo);
    if (letto.ends_with("\n")) numero = letto.substr(0, letto.size() - 1);
  }
  // Ended however the test ends, failed assertions included.
  struct Fine {
    pid_t pid;
    ~Fine() {
      if (pid > 0) ::kill(pid, SIGTERM);
    }
  } xvfb{std::atoi(Leggi(pidXvfb).c_str())};
  ASSERT_FALSE(numero.empty()) << "Xvfb did not start";
  const std::string display = "DISPLAY=:" + numero + " ";
  // The prefix's desktop was started without a display: a new server starts one with it.
  std::system((Ambiente() + "wineserver -k >/dev/null 2>&1").c_str());

  // Row 1's build fails: a class its project names is missing.
  const DriveTable unita(Prefisso());
  const fs::path progetto = *unita.Resolve(catalogo_->FileProgettoCompleto(1));
  std::istringstream righe(Leggi(progetto));
  std::string membro;
  for (std::string riga; std::getline(righe, riga) && membro.empty();)
    if (riga.starts_with("Class=")) membro = riga.substr(riga.find("; ") + 2, riga.find('\r') - riga.find("; ") - 2);
  ASSERT_FALSE(membro.empty());
  fs::remove(progetto.parent_path() / membro);

  const fs::path bin = lavoro / "bin";
  fs::create_directories(bin / "windows");
  fs::copy(fs::path(CW_BIN_DIR) / "compilawexo-batch", bin / "compilawexo-batch");
  fs::copy(fs::path(CW_WINDOWS_BIN_DIR) / kNomeAgente, bin / "windows" / kNomeAgente);
  const fs::path uscita = lavoro / "uscita.txt", stato = lavoro / "stato.txt";
  // The window's own viewer name, found in the prefix: Wine's Notepad.
  std::system(("(" + Ambiente() + display + "'" + (bin / "compilawexo-batch").string() +
               "' tutto binaria --principale 1 --secondario 0 --revisione 0 --visualizzatore Notepad.exe; echo $? >'" +
               stato.string() + "') >'" + uscita.string() + "' 2>&1 </dev/null &")
                  .c_str());

  std::string finestra;
  for (int prova = 0; prova < 1200 && finestra.empty(); ++prova) {
    std::this_thread::sleep_for(100ms);
    finestra = Stampa(display + "xdotool search --name 'ErroriCompilazione' | head -n 1");
  }
  ASSERT_FALSE(finestra.empty()) << Leggi(uscita);
  EXPECT_NE(Stampa(display + "xdotool getwindowname " + finestra).find("ErroriCompilazione.txt"), std::string::npos);
  // While Notepad is open the run waits: the failure and the message are out, the end is not.
  std::this_thread::sleep_for(500ms);
  const std::string prima = Leggi(uscita);
  EXPECT_FALSE(fs::exists(stato));
  EXPECT_NE(prima.find("1) Compilazione COSTANTI.VBP in corso... ERRORE!"), std::string::npos) << prima;
  EXPECT_EQ(prima.find("2) Compilazione "), std::string::npos);
  EXPECT_NE(prima.find("Compilazione di COSTANTI.VBP fallita: esecuzione non completata"), std::string::npos);
  EXPECT_EQ(prima.find("Pronto"), std::string::npos);

  // Closed as a person would: no window manager under bare Xvfb, so focus and Alt+F4.
  std::system((display + "xdotool windowfocus --sync " + finestra + " key alt+F4 >/dev/null 2>&1").c_str());
  for (int prova = 0; prova < 300 && Leggi(stato).empty(); ++prova) std::this_thread::sleep_for(100ms);
  const std::string fine = Leggi(uscita);
  EXPECT_EQ(Leggi(stato), "1\n") << fine;  // a build failed
  // The run ends after Notepad: nothing of an older build is deployed.
  EXPECT_NE(fine.find("Pronto", prima.size()), std::string::npos) << fine;
  EXPECT_EQ(fine.find("Errore di run-time"), std::string::npos) << fine;
}

// An Xvfb of the test's own, on a display it picks itself, ended with the
// object; "" from Display() when it did not start.
class DisplayProva {
 public:
  explicit DisplayProva(const fs::path& lavoro) {
    const fs::path schermo = lavoro / "schermo-limite", pid = lavoro / "xvfb-limite.pid";
    std::system(("Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>'" + schermo.string() +
                 "' >/dev/null 2>&1 </dev/null & echo $! >'" + pid.string() + "'")
                    .c_str());
    for (int prova = 0; prova < 100 && numero_.empty(); ++prova) {
      std::this_thread::sleep_for(100ms);
      const std::string letto = Leggi(schermo);
      if (letto.ends_with("\n")) numero_ = letto.substr(0, letto.size() - 1);
    }
    pid_ = std::atoi(Leggi(pid).c_str());
  }
  ~DisplayProva() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  DisplayProva(const DisplayProva&) = delete;
  DisplayProva& operator=(const DisplayProva&) = delete;
  std::string Display() const { return numero_.empty() ? "" : ":" + numero_; }

 private:
  std::string numero_;
  pid_t pid_ = 0;
};

// The tool in a folder of its own with its Windows helpers beside it.
fs::path CopiaProgramma(const fs::path& bin) {
  fs::create_directories(bin / "windows");
  fs::copy(fs::path(CW_BIN_DIR) / "compilawexo-batch", bin / "compilawexo-batch", fs::copy_options::overwrite_existing);
  fs::copy(fs::path(CW_WINDOWS_BIN_DIR) / kNomeAgente, bin / "windows" / kNomeAgente,
           fs::copy_options::overwrite_existing);
  return bin / "compilawexo-batch";
}

// The processes of the prefix whose command line holds the text: another
// test's prefix may be building at the same moment.
int ProcessiCon(const std::string& testo, const fs::path& prefisso) {
  const std::string variabile = "WINEPREFIX=" + prefisso.string();
  int n = 0;
  for (const auto& voce : fs::directory_iterator("/proc")) {
    std::string riga = Leggi(voce.path() / "cmdline");
    std::replace(riga.begin(), riga.end(), '\0', ' ');
    if (riga.find(testo) == std::string::npos) continue;
    std::string ambiente = Leggi(voce.path() / "environ");
    std::replace(ambiente.begin(), ambiente.end(), '\0', '\n');
    n += ("\n" + ambiente + "\n").find("\n" + variabile + "\n") != std::string::npos;
  }
  return n;
}

// The development environment stops on a question nobody answers: past the
// limit the question's box is read, the screen saved, the build ended with
// all it started, and the error file names both.
TEST_F(CompilazioneWine, AStuckBuildIsEndedAtItsLimitWithItsQuestionInTheErrorFile) {
  for (const char* programma : {"Xvfb"}) {
    if (Presente(programma)) continue;
    if (std::getenv("CI")) FAIL() << programma << " is not installed";
    GTEST_SKIP() << programma << " is not installed";
  }
  const fs::path lavoro = cartella_->Dir();
  DisplayProva schermo(lavoro);
  ASSERT_FALSE(schermo.Display().empty()) << "Xvfb did not start";
  // The prefix's desktop was started without a display: a new server starts one with it.
  std::system((Ambiente() + "wineserver -k >/dev/null 2>&1").c_str());

  const DriveTable unita(Prefisso());
  const std::string progetto = catalogo_->FileProgettoCompleto(1);
  const fs::path vbp = *unita.Resolve(progetto);
  const std::string domanda = "Il componente 'Utilita' non è più compatibile con la versione precedente. Continuare?";
  const std::string testo = Leggi(vbp);
  std::ofstream(vbp, std::ios::binary) << "StandinDomanda=\"" << Utf8ToAnsi(domanda) << "\"\r\n" << testo;

  const fs::path batch = CopiaProgramma(lavoro / "bin-limite");
  const fs::path uscita = lavoro / "uscita-limite.txt";
  const auto inizio = std::chrono::steady_clock::now();
  const int stato =
      std::system((Ambiente() + "DISPLAY=" + schermo.Display() + " '" + batch.string() +
                   "' tutto binaria --principale 1 --secondario 0 --revisione 0 --limite-compilazione 15 >'" +
                   uscita.string() + "' 2>&1 </dev/null")
                      .c_str());
  const auto durata = std::chrono::steady_clock::now() - inizio;
  std::ofstream(vbp, std::ios::binary) << testo;
  const std::string out = Leggi(uscita);
  EXPECT_EQ(WIFEXITED(stato) ? WEXITSTATUS(stato) : -1, 1) << out;
  EXPECT_GE(durata, 15s);
  EXPECT_LT(durata, 120s);
  EXPECT_NE(out.find("1) Compilazione COSTANTI.VBP in corso... ERRORE!"), std::string::npos) << out;
  EXPECT_EQ(out.find("2) Compilazione "), std::string::npos);
  // The error file, as the batch mode prints it: the build, its limit, the box and its buttons.
  // The controls come in the order the box has them; the buttons in Wine's language.
  std::string errori = AnsiToUtf8(Leggi(*unita.Resolve(kFileErroriCompilazione)));
  errori = errori.substr(errori.find("\r\n") + 2);
  ASSERT_TRUE(errori.starts_with("Compilazione di '" + progetto +
                                 "' non completata: ancora in corso dopo il limite di 15 secondi, terminata. Finestra "
                                 "\"Microsoft Visual Basic\":"))
      << errori;
  EXPECT_NE(errori.find(" \"" + domanda + "\""), std::string::npos) << errori;
  EXPECT_NE(errori.find(" \"OK\""), std::string::npos) << errori;
  EXPECT_NE(out.find(errori.substr(0, errori.find('\r'))), std::string::npos) << out;
  // The screen with the box on it, beside the error file.
  EXPECT_NE(out.find("Schermata salvata in C:\\Progetti VB\\Wexo\\ErroriCompilazione.png"), std::string::npos) << out;
  EXPECT_TRUE(Leggi(*unita.Resolve(kSchermataCompilazione)).starts_with("\x89PNG"));
  // Wine ends a job's processes a moment after the job is closed.
  const auto limite = std::chrono::steady_clock::now() + 10s;
  while (ProcessiCon("VB6.EXE", Prefisso()) > 0 && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ProcessiCon("VB6.EXE", Prefisso()), 0);
}

// What a command printed into a pipe read to its end, for at most the limit.
struct Tubo {
  bool chiuso = false;  // the end was read
  int stato = -1;
  std::string letto;
};
Tubo LeggiTubo(const std::string& comando, std::chrono::seconds limite, const std::string& ambiente) {
  Tubo t;
  FILE* tubo = ::popen((comando + " 2>&1 </dev/null").c_str(), "r");
  if (!tubo) return t;
  const int fd = ::fileno(tubo);
  const auto scadenza = std::chrono::steady_clock::now() + limite;
  while (!t.chiuso && std::chrono::steady_clock::now() < scadenza) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 1000) <= 0) continue;
    char b[4096];
    const ssize_t n = ::read(fd, b, sizeof b);
    if (n > 0) t.letto.append(b, static_cast<size_t>(n));
    t.chiuso = n == 0;
  }
  // Past the limit, whatever holds the pipe is ended so the test can end.
  if (!t.chiuso) std::system((ambiente + "wineserver -k >/dev/null 2>&1").c_str());
  const int stato = ::pclose(tubo);
  t.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  return t;
}

// Wine's services, started by the first Wine program of a prefix, keep what
// that program inherited: none of the tool's Windows programs gets its
// output, so a pipe from it ends when the tool does, with a server kept warm
// as a CI keeps one.
TEST_F(CompilazioneWine, APipeFromTheBatchModeEndsWithItUnderAWarmServer) {
  std::system((Ambiente() + "wineserver -k >/dev/null 2>&1; " + Ambiente() + "wineserver -w >/dev/null 2>&1; " +
               Ambiente() + "wineserver -p >/dev/null 2>&1")
                  .c_str());
  const std::string batch = Ambiente() + "'" + CopiaProgramma(cartella_->Dir() / "bin-tubo").string() + "' ";
  // The full run builds the components "registra" then registers.
  const Tubo tutto = LeggiTubo(batch + "tutto binaria --principale 1 --secondario 0 --revisione 0", 300s, Ambiente());
  ASSERT_TRUE(tutto.chiuso) << "the pipe of tutto was still open 300 s on:\n" << tutto.letto;
  EXPECT_EQ(tutto.stato, 0) << tutto.letto;
  const Tubo registra = LeggiTubo(batch + "registra", 180s, Ambiente());
  ASSERT_TRUE(registra.chiuso) << "the pipe of registra was still open 180 s on:\n" << registra.letto;
  EXPECT_EQ(registra.stato, 0) << registra.letto;
  EXPECT_NE(registra.letto.find(".EXE in corso... OK!"), std::string::npos) << registra.letto;
}

}  // namespace
}  // namespace cw
