#include "platform/linux/processi_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "base/command_line.h"
#include "base/errors.h"
#include "base/protocollo_agente.h"
#include "platform/linux/architettura_linux.h"
#include "platform/linux/avviso_wine_linux.h"
#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/programma_locale_linux.h"
#include "support/errore.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using test::PrefissoTemporaneo;
using Words = std::vector<std::string>;

// Writes each argument, NUL-terminated, to args.out beside itself, and the
// two variables the service hands on to env.out (WINEDEBUG, when set, to
// winedebug.out).
constexpr const char* kEco =
    "#!/bin/sh\n"
    "d=$(dirname \"$0\")\n"
    "printf '%s\\0' \"$@\" > \"$d/args.tmp\"\n"
    "printf '%s\\n%s\\n' \"$WINEPREFIX\" \"$CW_WINDOW_STYLE\" > \"$d/env.out\"\n"
    "if [ \"${WINEDEBUG+x}\" ]; then printf '%s' \"$WINEDEBUG\" > \"$d/winedebug.out\"; fi\n"
    "mv \"$d/args.tmp\" \"$d/args.out\"\n";

void Eseguibile(const PrefissoTemporaneo& p, const std::string& windowsPath, const std::string& testo) {
  p.Scrivi(windowsPath, testo);
  fs::permissions(p.Host(windowsPath), fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

Words Parole(const std::string& nul) {
  Words w;
  size_t start = 0;
  for (size_t end; (end = nul.find('\0', start)) != std::string::npos; start = end + 1)
    w.push_back(nul.substr(start, end - start));
  return w;
}

using test::ErroreDi;

// Starts the line and waits for it to end.
void EseguiEAttendi(ProcessiLinux& proc, const std::string& line, int stile = kFinestraNascosta) {
  EXPECT_EQ(proc.Avvia(line, stile)->Attendi(kSenzaLimite), EsitoAttesa::Finito);
}

pid_t PidDi(const std::unique_ptr<ProgrammaAvviato>& p) { return dynamic_cast<const ProgrammaLocaleLinux&>(*p).Pid(); }

// Zombie children of this process, from /proc.
int Zombi() {
  int n = 0;
  for (const auto& e : fs::directory_iterator("/proc")) {
    const std::string nome = e.path().filename().string();
    if (nome.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(e.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto chiusa = stat.rfind(')');
    if (chiusa == std::string::npos) continue;
    char stato = 0;
    int ppid = 0;
    if (sscanf(stat.c_str() + chiusa + 1, " %c %d", &stato, &ppid) == 2 && stato == 'Z' && ppid == getpid()) ++n;
  }
  return n;
}

// The same file, whichever way the drive table reached it.
bool Stesso(const std::optional<fs::path>& trovato, const fs::path& atteso) {
  std::error_code ec;
  return trovato && fs::equivalent(*trovato, atteso, ec);
}

char StatoDi(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  const auto chiusa = stat.rfind(')');
  return chiusa == std::string::npos || chiusa + 2 >= stat.size() ? 0 : stat[chiusa + 2];
}

class Processi : public ::testing::Test {
 protected:
  PrefissoTemporaneo prefisso;
  fs::path cartellaProgramma = prefisso.Dir() / "bin";
  fs::path senzaWine = prefisso.Dir() / "vuota";
  ProcessiLinux proc{DriveTable(prefisso.Dir()),
                     {.cartellaProgramma = cartellaProgramma,
                      .percorsoRicerca = senzaWine.string(),
                      .attesa = nullptr,
                      .agenteWindows = {}}};

  void SetUp() override {
    fs::create_directories(cartellaProgramma);
    fs::create_directories(senzaWine);
  }
};

TEST_F(Processi, BlanksQuotesAndBackslashesPassExactly) {
  Eseguibile(prefisso, "C:\\Cartella con spazi\\eco.sh", kEco);
  const Words argomenti = {"a b", "q\"uote", "back\\slash", "trail\\", "", "C:\\Progetti VB\\Wexo\\", "\\\\\"", "è"};
  Words riga = {"C:\\Cartella con spazi\\eco.sh"};
  riga.insert(riga.end(), argomenti.begin(), argomenti.end());
  EseguiEAttendi(proc, JoinCommandLine(riga), kFinestraRidotta);
  EXPECT_EQ(Parole(prefisso.Leggi("C:\\Cartella con spazi\\args.out")), argomenti);
  // The drive table's prefix and the window style reach the program.
  EXPECT_EQ(prefisso.Leggi("C:\\Cartella con spazi\\env.out"), prefisso.Dir().string() + "\n2\n");

  // Words are passed as they stand: still Windows paths, no quotes added.
  EseguiEAttendi(proc, "\"c:\\cartella con SPAZI\\ECO.SH\" /make \"C:\\Progetti VB\\x.vbp\" C:\\Progetti VB");
  EXPECT_EQ(Parole(prefisso.Leggi("C:\\Cartella con spazi\\args.out")),
            (Words{"/make", "C:\\Progetti VB\\x.vbp", "C:\\Progetti", "VB"}));

  // Unquoted, with blanks: the longer parts of the line are tried, as Windows does.
  const struct {
    const char* riga;
    Words argomenti;
  } kSenzaVirgolette[] = {
      {"C:\\Cartella con spazi\\eco.sh /RegServer", {"/RegServer"}},
      {"C:\\Cartella con spazi\\eco.sh", {""}},  // printf prints its format once
      {"  C:\\Cartella con spazi\\eco.sh  \"x y\" z", {"x y", "z"}},
  };
  for (const auto& c : kSenzaVirgolette) {
    fs::remove(prefisso.Host("C:\\Cartella con spazi\\args.out"));
    EseguiEAttendi(proc, c.riga);
    EXPECT_EQ(Parole(prefisso.Leggi("C:\\Cartella con spazi\\args.out")), c.argomenti) << c.riga;
  }
  EXPECT_EQ(ErroreDi([&] { proc.Avvia("C:\\Cartella con spazi\\assente.sh /RegServer", kFinestraNormale); }),
            kFileNonTrovato);
}

TEST_F(Processi, ABareNameIsLookedUpInTheProgramFolderThenTheSystemFolders) {
  Eseguibile(prefisso, "C:\\Windows\\System32\\Strumento.exe", kEco);
  Eseguibile(prefisso, "C:\\Windows\\Strumento.exe", kEco);
  Eseguibile(prefisso, "C:\\Windows\\notepad.exe", kEco);
  EXPECT_TRUE(Stesso(proc.TrovaProgramma("Strumento.exe"), prefisso.Host("C:\\Windows\\System32\\Strumento.exe")));
  EXPECT_TRUE(Stesso(proc.TrovaProgramma("Notepad.exe"), prefisso.Host("C:\\Windows\\notepad.exe")));
  EXPECT_TRUE(Stesso(proc.TrovaProgramma("notepad"), prefisso.Host("C:\\Windows\\notepad.exe")));
  {
    std::ofstream(cartellaProgramma / "NOTEPAD.EXE") << kEco;
    fs::permissions(cartellaProgramma / "NOTEPAD.EXE", fs::perms::owner_all);
  }
  EXPECT_TRUE(Stesso(proc.TrovaProgramma("Notepad.exe"), cartellaProgramma / "NOTEPAD.EXE"));
  EXPECT_EQ(proc.TrovaProgramma("Assente.exe"), std::nullopt);
  EXPECT_EQ(proc.TrovaProgramma("sub\\Notepad.exe"), std::nullopt);

  EseguiEAttendi(proc, "Strumento.exe \"C:\\a b.txt\"");
  EXPECT_EQ(Parole(prefisso.Leggi("C:\\Windows\\System32\\args.out")), (Words{"C:\\a b.txt"}));
}

TEST_F(Processi, WhatCannotBeFoundOrStartedRaisesError53) {
  prefisso.Scrivi("C:\\App\\dati.txt", "not a program\n");  // no execute bit
  fs::create_directories(prefisso.Host("C:\\App\\Cartella"));
  for (const char* riga : {"C:\\App\\assente.exe", "E:\\App\\x.exe", "C:\\App\\dati.txt", "C:\\App\\Cartella", "",
                           "   ", "\\\\server\\share\\x.exe"})
    EXPECT_EQ(ErroreDi([&] { proc.Avvia(riga, kFinestraNormale); }), kFileNonTrovato) << riga;
}

TEST_F(Processi, AWindowsProgramRunsThroughWineAndWithoutItCannotStart) {
  Eseguibile(prefisso, "C:\\Programmi\\App\\Prog.exe", std::string("MZ\x90\0\3\0\0\0", 8) + "#!/bin/sh\nexit 0\n");
  EXPECT_EQ(ErroreDi([&] { proc.Avvia("\"C:\\Programmi\\App\\Prog.exe\" /x", kFinestraNormale); }), kFileNonTrovato);

  // Without the agent, a wine on the search list gets the program and the words.
  const fs::path conWine = prefisso.Dir() / "conwine";
  fs::create_directories(conWine);
  { std::ofstream(conWine / "wine") << kEco; }
  fs::permissions(conWine / "wine", fs::perms::owner_all);
  ProcessiLinux conVino(DriveTable(prefisso.Dir()), {.cartellaProgramma = cartellaProgramma,
                                                     .percorsoRicerca = senzaWine.string() + ":" + conWine.string(),
                                                     .agenteWindows = prefisso.Dir() / "nessun-agente.exe"});
  EseguiEAttendi(conVino, "\"C:\\Programmi\\App\\Prog.exe\" /make \"C:\\a b\\c.vbp\"");
  std::ifstream in(conWine / "args.out", std::ios::binary);
  const Words visti = Parole(std::string((std::istreambuf_iterator<char>(in)), {}));
  ASSERT_EQ(visti.size(), 3u);
  EXPECT_TRUE(Stesso(fs::path(visti[0]), prefisso.Host("C:\\Programmi\\App\\Prog.exe")));
  EXPECT_EQ(Words(visti.begin() + 1, visti.end()), (Words{"/make", "C:\\a b\\c.vbp"}));
}

// A wine that plays the agent: it notes what its standard streams are and
// the start it was asked for, says it is ready after $CW_PROVA_RITARDO
// seconds, and answers for one program that runs until it is ended and
// shows one box.
constexpr const char* kWineAgente =
    "#!/bin/sh\n"
    "d=$(dirname \"$0\")\n"
    "a=$(readlink /proc/$$/fd/0 | cut -d: -f1); b=$(readlink /proc/$$/fd/1 | cut -d: -f1)\n"
    "c=$(readlink /proc/$$/fd/2 | cut -d: -f1)\n"
    "printf '%s\\n%s\\n%s\\n' \"$a\" \"$b\" \"$c\" > \"$d/fds.tmp\"\n"
    "mv \"$d/fds.tmp\" \"$d/fds.out\"\n"
    "sleep \"${CW_PROVA_RITARDO:-0}\"\n"
    "echo pronto\n"
    "t=$(printf '\\t'); stato=in-corso; n=0\n"
    "while IFS=\"$t\" read -r verbo a b c; do\n"
    "  case \"$verbo\" in\n"
    "    avvia) n=$((n+1)); printf '%s\\n%s\\n%s\\n' \"$a\" \"$b\" \"$c\" > \"$d/avvia.out\"; echo \"avviato $n\" ;;\n"
    "    attendi) echo \"$stato\" ;;\n"
    "    finestre) printf 'finestra %s\\ntesto %s\\ntesto %s\\nfine\\n' TITOLO TESTO OK ;;\n"
    "    termina) stato='finito 1'; echo terminato ;;\n"
    "    chiudi) echo chiuso ;;\n"
    "  esac\n"
    "done\n";

// No Windows program gets the tool's standard streams (Wine's services
// would keep them): /dev/null, or the agent's pipes and memory file of its own.
TEST_F(Processi, AWindowsProgramGetsNoneOfTheToolsStreams) {
  Eseguibile(prefisso, "C:\\Programmi\\App\\Prog.exe", std::string("MZ\x90\0\3\0\0\0", 8));
  const fs::path conWine = prefisso.Dir() / "conwine";
  fs::create_directories(conWine);
  { std::ofstream(conWine / "wine") << kWineAgente; }
  fs::permissions(conWine / "wine", fs::perms::owner_all);
  { std::ofstream(prefisso.Dir() / "agente.exe") << "MZ"; }
  const struct {
    const char* agente;
    const char* flussi;
  } casi[] = {
      {"agente.exe", "pipe\npipe\n/memfd\n"},  // its standard error kept in memory, for a failed start
      {"nessun-agente.exe", "/dev/null\n/dev/null\n/dev/null\n"},
  };
  for (const auto& c : casi) {
    fs::remove(conWine / "fds.out");
    ProcessiLinux conVino(DriveTable(prefisso.Dir()), {.cartellaProgramma = cartellaProgramma,
                                                       .percorsoRicerca = conWine.string(),
                                                       .agenteWindows = prefisso.Dir() / c.agente});
    const auto h = conVino.Avvia("C:\\Programmi\\App\\Prog.exe", kFinestraRidotta);
    for (int prova = 0; prova < 500 && !fs::exists(conWine / "fds.out"); ++prova)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(conWine / "fds.out");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), c.flussi) << c.agente;
    h->Termina();
  }
}

// The agent gets the program and the line exactly, in hex, and the style;
// its start is told past a second, once; asked, it tells the windows; the
// program it ended has ended, and a second program needs no second start.
TEST_F(Processi, TheAgentsStartIsToldPastASecondAndItServesTheProgram) {
  Eseguibile(prefisso, "C:\\Programmi\\App\\Prog.exe", std::string("MZ\x90\0\3\0\0\0", 8));
  const fs::path conWine = prefisso.Dir() / "conwine";
  fs::create_directories(conWine);
  {
    std::string script = kWineAgente;
    for (const auto& [segnaposto, testo] : {std::pair<std::string, std::string>{"TITOLO", "Microsoft Visual Basic"},
                                            {"TESTO", "Riferimento mancante.\r\nContinuare?"},
                                            {"OK", "OK"}})
      script.replace(script.find(segnaposto), segnaposto.size(), worker::Esadecimale(testo));
    std::ofstream(conWine / "wine") << script;
  }
  fs::permissions(conWine / "wine", fs::perms::owner_all);
  { std::ofstream(prefisso.Dir() / "agente.exe") << "MZ"; }
  const std::string riga = "C:\\Programmi\\App\\Prog.exe /make \"C:\\a\tb\\è.vbp\"";
  const struct {
    const char* ritardo;
    std::vector<std::string> detti;
  } casi[] = {
      {"0", {}},
      {"1.5", {"inizio:" + prefisso.Dir().string(), "fine:" + prefisso.Dir().string()}},
  };
  for (const auto& c : casi) {
    std::vector<std::string> detti;
    ImpostaAvvisoAvvioWine(
        [&](const std::string& p, bool inizio) { detti.push_back((inizio ? "inizio:" : "fine:") + p); });
    ::setenv("CW_PROVA_RITARDO", c.ritardo, 1);
    ProcessiLinux conVino(DriveTable(prefisso.Dir()), {.cartellaProgramma = cartellaProgramma,
                                                       .percorsoRicerca = conWine.string(),
                                                       .agenteWindows = prefisso.Dir() / "agente.exe"});
    const auto h = conVino.Avvia(riga, kFinestraRidotta);
    EXPECT_EQ(detti, c.detti) << c.ritardo;
    EXPECT_EQ(dynamic_cast<ProgrammaLocaleLinux*>(h.get()), nullptr);  // the agent's
    std::ifstream in(conWine / "avvia.out");
    std::string programma, hex, stile, testo;
    std::getline(in, hex);
    ASSERT_TRUE(worker::DaEsadecimale(hex, programma));
    EXPECT_TRUE(Stesso(fs::path(programma), prefisso.Host("C:\\Programmi\\App\\Prog.exe")));
    std::getline(in, hex);
    EXPECT_TRUE(worker::DaEsadecimale(hex, testo) && testo == riga) << testo;
    std::getline(in, stile);
    EXPECT_EQ(stile, "2");
    EXPECT_EQ(h->Attendi(std::chrono::milliseconds(50)), EsitoAttesa::InCorso);
    EXPECT_EQ(h->CodiceUscita(), std::nullopt);
    EXPECT_EQ(
        h->Finestre(),
        (std::vector<FinestraMostrata>{{"Microsoft Visual Basic", {"Riferimento mancante.\r\nContinuare?", "OK"}}}));
    h->Termina();
    EXPECT_EQ(h->Attendi(std::chrono::milliseconds(0)), EsitoAttesa::Finito);
    EXPECT_EQ(h->CodiceUscita(), 1u);
    EXPECT_EQ(h->Finestre(), std::vector<FinestraMostrata>{});  // ended: nobody to ask
    // A later start is not the first any more.
    detti.clear();
    fs::remove(conWine / "fds.out");
    const auto h2 = conVino.Avvia("C:\\Programmi\\App\\Prog.exe", kFinestraRidotta);
    EXPECT_EQ(detti, std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(conWine / "fds.out"));  // the same agent
    h2->Termina();
  }
  ::unsetenv("CW_PROVA_RITARDO");
  ImpostaAvvisoAvvioWine(nullptr);
}

// Wine keeps quiet unless the user asked it to speak; a native program's
// environment is the user's.
// An agent Wine ends before it is ready: the start is refused with why, and
// with Wine's last lines; one that is only silent is the old "no answer".
TEST_F(Processi, AnAgentWineEndsBeforeItIsReadyIsRefusedWithWinesWords) {
  Eseguibile(prefisso, "C:\\Programmi\\App\\Prog.exe", std::string("MZ\x90\0\3\0\0\0", 8));
  const fs::path conWine = prefisso.Dir() / "conwine";
  fs::create_directories(conWine);
  { std::ofstream(prefisso.Dir() / "agente.exe") << "MZ"; }  // no header: taken as 32-bit
  const std::string motivo32 = MotivoSenza32Bit();
  const struct {
    const char* wine;
    const char* atteso;  // the start of the refusal; null: no refusal, the start fails as before
  } casi[] = {
      {"#!/bin/sh\necho 'wine: Exec format error' >&2\nexit 126\n",
       motivo32.empty() ? "L'agente di Wine (" : "Questo sistema non esegue programmi a 32 bit"},
      {"#!/bin/sh\nexit 1\n", motivo32.empty() ? nullptr : "Questo sistema non esegue programmi a 32 bit"},
  };
  for (const auto& c : casi) {
    { std::ofstream(conWine / "wine") << c.wine; }
    fs::permissions(conWine / "wine", fs::perms::owner_all);
    ProcessiLinux conVino(DriveTable(prefisso.Dir()), {.cartellaProgramma = cartellaProgramma,
                                                       .percorsoRicerca = conWine.string(),
                                                       .agenteWindows = prefisso.Dir() / "agente.exe"});
    std::string rifiuto;
    try {
      conVino.Avvia("C:\\Programmi\\App\\Prog.exe", kFinestraRidotta);
    } catch (const ErroreAvvioWindows& e) {
      rifiuto = e.what();
    } catch (const ErroreRuntime&) {
    }
    if (!c.atteso) {
      EXPECT_EQ(rifiuto, "") << c.wine;
      continue;
    }
    EXPECT_TRUE(rifiuto.starts_with(c.atteso)) << rifiuto;
    EXPECT_EQ(rifiuto.find("Wine: wine: Exec format error") != std::string::npos,
              std::string(c.wine).find("echo") != std::string::npos)
        << rifiuto;
  }
}

TEST_F(Processi, AWindowsProgramGetsWINEDEBUGAllOffUnlessTheUserSetIt) {
  Eseguibile(prefisso, "C:\\Programmi\\App\\Prog.exe", std::string("MZ\x90\0\3\0\0\0", 8));
  Eseguibile(prefisso, "C:\\Bin\\eco.sh", kEco);
  const fs::path conWine = prefisso.Dir() / "conwine";
  fs::create_directories(conWine);
  { std::ofstream(conWine / "wine") << kEco; }
  fs::permissions(conWine / "wine", fs::perms::owner_all);
  ProcessiLinux conVino(DriveTable(prefisso.Dir()), {.cartellaProgramma = cartellaProgramma,
                                                     .percorsoRicerca = conWine.string(),
                                                     .agenteWindows = prefisso.Dir() / "nessun-agente.exe"});
  const char* prima = std::getenv("WINEDEBUG");
  const std::optional<std::string> salvato = prima ? std::optional<std::string>(prima) : std::nullopt;
  struct Caso {
    const char* utente;   // WINEDEBUG in the tool's environment; null: unset
    const char* windows;  // what the Windows program gets
    const char* nativo;   // what a native one gets; null: unset
  };
  const Caso casi[] = {{nullptr, "-all", nullptr}, {"warn+all", "warn+all", "warn+all"}, {"", "", ""}};
  for (const Caso& c : casi) {
    if (c.utente)
      ::setenv("WINEDEBUG", c.utente, 1);
    else
      ::unsetenv("WINEDEBUG");
    for (const auto& [riga, cartella, atteso] : {std::tuple{"C:\\Programmi\\App\\Prog.exe", conWine, c.windows},
                                                 std::tuple{"C:\\Bin\\eco.sh", prefisso.Host("C:\\Bin"), c.nativo}}) {
      fs::remove(cartella / "winedebug.out");
      EseguiEAttendi(conVino, riga);
      std::ifstream in(cartella / "winedebug.out");
      EXPECT_EQ(in.is_open(), atteso != nullptr) << riga << " " << (c.utente ? c.utente : "(unset)");
      if (atteso) {
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), atteso) << riga;
      }
    }
  }
  if (salvato)
    ::setenv("WINEDEBUG", salvato->c_str(), 1);
  else
    ::unsetenv("WINEDEBUG");
}

TEST_F(Processi, ProcessesNeverWaitedForLeaveNoZombies) {
  Eseguibile(prefisso, "C:\\Bin\\fine.sh", "#!/bin/sh\nexit 0\n");
  Eseguibile(prefisso, "C:\\Bin\\breve.sh", "#!/bin/sh\nsleep 0.2\n");
  // Each let go of at once, running or not.
  for (int i = 0; i < 10; ++i) proc.Avvia(i % 2 ? "C:\\Bin\\fine.sh" : "C:\\Bin\\breve.sh", kFinestraNascosta);
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((proc.FigliInCorso() > 0 || Zombi() > 0) && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(proc.FigliInCorso(), 0u);
  EXPECT_EQ(Zombi(), 0);
}

TEST_F(Processi, AHeldProcessKeepsItsStatusUntilItsWaitSeesItEnd) {
  Eseguibile(prefisso, "C:\\Bin\\tre.sh", "#!/bin/sh\nsleep 0.1\nexit 3\n");
  const auto h = proc.Avvia("C:\\Bin\\tre.sh", kFinestraNascosta);
  const pid_t pid = PidDi(h);
  EXPECT_EQ(h->CodiceUscita(), std::nullopt);
  // Ended but held: the reaper leaves it for the wait.
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (StatoDi(pid) != 'Z' && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(StatoDi(pid), 'Z');
  EXPECT_EQ(h->Attendi(std::chrono::milliseconds(0)), EsitoAttesa::Finito);
  EXPECT_EQ(StatoDi(pid), 0);  // reaped by the wait
  EXPECT_EQ(h->Attendi(kSenzaLimite), EsitoAttesa::Finito);
  EXPECT_EQ(h->CodiceUscita(), 3u);
  h->Termina();  // nothing: it has ended
  EXPECT_EQ(h->CodiceUscita(), 3u);
}

TEST_F(Processi, ABoundedWaitTimesOut) {
  Eseguibile(prefisso, "C:\\Bin\\lungo.sh", "#!/bin/sh\nexec sleep 30\n");
  const auto h = proc.Avvia("C:\\Bin\\lungo.sh", kFinestraNascosta);
  const auto inizio = std::chrono::steady_clock::now();
  EXPECT_EQ(h->Attendi(std::chrono::milliseconds(100)), EsitoAttesa::InCorso);
  const auto trascorsi = std::chrono::steady_clock::now() - inizio;
  EXPECT_GE(trascorsi, std::chrono::milliseconds(100));
  // Loose for a busy machine, still short of the program's 30 s.
  EXPECT_LT(trascorsi, std::chrono::seconds(15));
  ::kill(PidDi(h), SIGKILL);
  EXPECT_EQ(h->Attendi(kSenzaLimite), EsitoAttesa::Finito);
  EXPECT_EQ(h->CodiceUscita(), 128u + SIGKILL);
  EXPECT_EQ(proc.FigliInCorso(), 0u);
}

// The first of several to end is told, however many run; none within the
// limit is told too.
TEST_F(Processi, TheFirstOfSeveralToEndIsTold) {
  for (const char* durata : {"0.1", "0.4", "30"})
    Eseguibile(prefisso, std::string("C:\\Bin\\dorme") + durata + ".sh",
               std::string("#!/bin/sh\nexec sleep ") + durata + "\n");
  const struct {
    std::vector<const char*> durate;
    int limite;  // ms
    std::optional<std::size_t> primo;
  } casi[] = {
      {{"30", "0.4", "0.1"}, 10000, 2},
      {{"0.4", "30"}, 10000, 0},
      {{"30", "30"}, 200, std::nullopt},
      {{"0.1"}, 10000, 0},
  };
  for (const auto& c : casi) {
    std::vector<std::unique_ptr<ProgrammaAvviato>> avviati;
    std::vector<ProgrammaAvviato*> programmi;
    for (const char* durata : c.durate) {
      avviati.push_back(proc.Avvia(std::string("C:\\Bin\\dorme") + durata + ".sh", kFinestraNascosta));
      programmi.push_back(avviati.back().get());
    }
    const auto inizio = std::chrono::steady_clock::now();
    EXPECT_EQ(proc.AttendiPrimo(programmi, std::chrono::milliseconds(c.limite)), c.primo) << c.durate.size();
    if (c.primo) {
      EXPECT_EQ(avviati[*c.primo]->CodiceUscita(), 0u);
    } else {
      EXPECT_GE(std::chrono::steady_clock::now() - inizio, std::chrono::milliseconds(c.limite));
    }
    for (auto& a : avviati) a->Termina();
  }
  EXPECT_EQ(proc.AttendiPrimo({}, std::chrono::milliseconds(0)), std::nullopt);
}

// The tool as the job of a shell on a terminal of its own, waiting for one
// program. The "shell" (a session leader) gives the tool the terminal, and
// continues it in front when it stops, as "fg" does, leaving the mark
// "fermato". The tool's exit status goes to "uscita" (255 for a signal); the
// shell then stays, as its end would hang up what is left on the terminal.
int ComeLavoroDiUnaShell(const fs::path& prefisso, const std::string& riga, int stile, int& terminale) {
  terminale = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminale < 0 || ::grantpt(terminale) != 0 || ::unlockpt(terminale) != 0) return -1;
  const std::string nome = ::ptsname(terminale);
  std::fflush(nullptr);
  const pid_t shell = ::fork();
  if (shell != 0) return shell;
  ::setsid();
  const int tty = ::open(nome.c_str(), O_RDWR);
  ::ioctl(tty, TIOCSCTTY, 0);
  sigset_t ttou;
  sigemptyset(&ttou);
  sigaddset(&ttou, SIGTTOU);
  ::sigprocmask(SIG_BLOCK, &ttou, nullptr);
  const pid_t strumento = ::fork();
  if (strumento == 0) {
    ::setpgid(0, 0);
    ::tcsetpgrp(tty, ::getpgrp());
    ::sigprocmask(SIG_UNBLOCK, &ttou, nullptr);
    ::dup2(tty, STDIN_FILENO);
    PreparaFineSuSegnale();
    try {
      ProcessiLinux processi{DriveTable(prefisso)};
      processi.Avvia(riga, stile)->Attendi(kSenzaLimite);
    } catch (const FineSuSegnale& f) {
      ::_exit(f.CodiceUscita());
    }
    ::_exit(0);
  }
  for (int s = 0;;) {
    if (::waitpid(strumento, &s, WUNTRACED) < 0) ::_exit(99);
    if (WIFSTOPPED(s)) {
      std::ofstream(prefisso / "fermato");
      ::tcsetpgrp(tty, strumento);
      ::kill(-strumento, SIGCONT);
      continue;
    }
    std::ofstream(prefisso / "uscita") << (WIFEXITED(s) ? WEXITSTATUS(s) : 255);
    for (;;) ::pause();
  }
}

// A program shown in front gets the terminal for its wait, as a shell's
// foreground job: it reads its keys, Ctrl+Z stops the tool with it until
// "fg", and Ctrl+C, which reaches only it, still ends the tool. A program
// started minimized leaves the terminal to the tool, whose Ctrl+C ends it
// and what it started.
TEST_F(Processi, AProgramShownInFrontGetsTheTerminalForItsWait) {
  // Each program first writes its identifier, and its child's, into "pronto".
  constexpr const char* kLegge = "echo $$ > \"$WINEPREFIX/pronto\"\nread r\necho \"$r\" > \"$WINEPREFIX/letto\"";
  constexpr const char* kConFiglio = "sleep 600 &\necho $$ $! > \"$WINEPREFIX/pronto\"\nwait";
  struct Caso {
    const char* cosa;
    int stile;
    const char* programma;
    std::vector<std::string> tasti;  // each typed once the one before has done its part
    int uscita;
    const char* letto;  // what the program read, or null
  };
  const Caso casi[] = {
      {"keys", kFinestraNormale, kLegge, {"ciao\n"}, 0, "ciao"},
      {"Ctrl+Z, fg", kFinestraNormale, kLegge, {"\x1a", "ciao\n"}, 0, "ciao"},
      {"Ctrl+C in front", kFinestraNormale, kLegge, {"\x03"}, 128 + SIGINT, nullptr},
      {"Ctrl+C behind", kFinestraRidotta, kConFiglio, {"\x03"}, 128 + SIGINT, nullptr},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.cosa);
    for (const char* f : {"pronto", "letto", "fermato", "uscita"}) fs::remove(prefisso.Dir() / f);
    Eseguibile(prefisso, "C:\\Bin\\lavoro.sh", std::string("#!/bin/sh\n") + c.programma + "\n");
    int terminale = -1;
    const pid_t shell = ComeLavoroDiUnaShell(prefisso.Dir(), "C:\\Bin\\lavoro.sh", c.stile, terminale);
    ASSERT_GT(shell, 0);
    const auto entro = [](const std::function<bool()>& condizione) {
      const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      for (;;) {
        if (condizione()) return true;
        if (std::chrono::steady_clock::now() > limite) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    };
    std::vector<pid_t> programmi;
    EXPECT_TRUE(entro([&] {
      programmi.clear();
      std::ifstream in(prefisso.Dir() / "pronto");
      for (long p; in >> p;) programmi.push_back(static_cast<pid_t>(p));
      return !programmi.empty();
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // in its read, or its wait
    for (const std::string& t : c.tasti) {
      if (&t != &c.tasti.front()) {
        EXPECT_TRUE(entro([&] { return fs::exists(prefisso.Dir() / "fermato"); }));
      }
      ASSERT_EQ(::write(terminale, t.data(), t.size()), static_cast<ssize_t>(t.size()));
    }
    int uscita = -1;
    EXPECT_TRUE(entro([&] { return static_cast<bool>(std::ifstream(prefisso.Dir() / "uscita") >> uscita); }))
        << "it hangs";
    EXPECT_EQ(uscita, c.uscita);
    for (pid_t p : programmi) EXPECT_TRUE(entro([&] { return StatoDi(p) == 0 || StatoDi(p) == 'Z'; })) << p;
    // Its end hangs up whatever is left.
    ::kill(shell, SIGKILL);
    ::waitpid(shell, nullptr, 0);
    ::close(terminale);
    if (c.letto) {
      std::string letto;
      std::ifstream(prefisso.Dir() / "letto") >> letto;
      EXPECT_EQ(letto, c.letto);
    }
  }
}

}  // namespace
}  // namespace cw
