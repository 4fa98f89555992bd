#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/linux/canale_registrazione_linux.h"
#include "registration/modRegistraDll.h"
#include "registration/registra_componenti.h"
#include "registro_standin.h"
#include "support/ui_registrata.h"

namespace cw::test {
// For comparing and printing the boxes a test expects.
bool operator==(const Messaggio& a, const Messaggio& b) {
  return a.testo == b.testo && a.stile == b.stile && a.titolo == b.titolo;
}
void PrintTo(const Messaggio& m, std::ostream* os) {
  *os << "{" << m.testo << ", " << m.stile << ", " << m.titolo << "}";
}
}  // namespace cw::test

namespace cw {
namespace {

using namespace std::chrono_literals;
using test::Entro;
using test::Installa;
using test::Messaggio;
using test::PrefissoTemporaneo;
using test::Registrati;
using test::UiRegistrata;
using Insieme = std::set<std::string>;

const std::string kDll = "C:\\Orbalis\\Componenti\\Orbalis.dll";

Messaggio CaricamentoFallito() { return {"Errore caricando la DLL", 16, "Register Server"}; }
Messaggio EntryPointMancante(const std::string& p) {
  return {"Registrazione fallita EntryPoint mancante '" + p + "'.", 16, "Registrazione Fallita!"};
}
Messaggio TimeOut(const std::string& p) {
  return {"Registrazione fallita per time-out da '" + p + "'.", 16, "Registrazione fallita!"};
}
Messaggio Crash(const std::string& p) {
  return {"Registrazione fallita per errore di '" + p + "'.", 16, "Registrazione fallita!"};
}

// Running: alive and not a zombie.
bool InVita(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  const auto chiusa = stat.rfind(')');
  return chiusa != std::string::npos && chiusa + 2 < stat.size() && stat[chiusa + 2] != 'Z';
}

bool NessunFiglio() {
  siginfo_t info{};
  return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD;
}

bool CaricataQui(const std::string& frammento) {
  std::ifstream in("/proc/self/maps");
  std::string mappe((std::istreambuf_iterator<char>(in)), {});
  return mappe.find(frammento) != std::string::npos;
}

class RegistraDllTest : public ::testing::Test {
 protected:
  PrefissoTemporaneo prefisso;
  UiRegistrata ui;
  // Time enough for a worker's start on a busy machine; the time-out has a
  // test of its own.
  RegistratoreIsolato reg{ui, std::make_unique<CanaleRegistrazioneLinux>(DriveTable(prefisso.Dir())), 10s};
};

TEST_F(RegistraDllTest, RegisteringAndRemovingRunTheComponentsOwnEntryPoints) {
  Installa(prefisso, "standin-component.so", kDll);
  EXPECT_TRUE(reg.RegistraDll(kDll, 0));
  EXPECT_EQ(Registrati(prefisso), Insieme{kDll});
  EXPECT_TRUE(reg.RegistraDll(kDll, 1));
  EXPECT_EQ(Registrati(prefisso), Insieme{});
  // Any flag but 0 removes; the path is found ignoring case, and the entry
  // names the file as it is on disk.
  EXPECT_TRUE(reg.RegistraDll("c:\\ORBALIS\\componenti\\orbalis.DLL", 0));
  EXPECT_EQ(Registrati(prefisso), Insieme{kDll});
  EXPECT_TRUE(reg.RegistraDll(kDll, 7));
  EXPECT_EQ(Registrati(prefisso), Insieme{});
  EXPECT_TRUE(ui.messaggi.empty());
  // The component ran in the worker, never here.
  EXPECT_FALSE(CaricataQui(prefisso.Dir().string()));
  EXPECT_TRUE(NessunFiglio());
}

TEST_F(RegistraDllTest, TheEntryPointIsChosenByTheFlag) {
  const std::string dll = "C:\\Orbalis\\Componenti\\Errore.dll";
  Installa(prefisso, "standin-component-errore.so", dll);
  for (const std::int32_t flag : {0, 1, 7, -1}) {
    std::filesystem::remove(prefisso.Dir() / "errore.DllRegisterServer");
    std::filesystem::remove(prefisso.Dir() / "errore.DllUnregisterServer");
    // An error code returned at once is no failure: no box.
    EXPECT_TRUE(reg.RegistraDll(dll, flag));
    EXPECT_EQ(std::filesystem::exists(prefisso.Dir() / "errore.DllRegisterServer"), flag == 0) << flag;
    EXPECT_EQ(std::filesystem::exists(prefisso.Dir() / "errore.DllUnregisterServer"), flag != 0) << flag;
  }
  EXPECT_TRUE(ui.messaggi.empty());
}

TEST_F(RegistraDllTest, WhatCannotBeLoadedGivesTheLoadBoxOnly) {
  prefisso.Scrivi("C:\\Orbalis\\Componenti\\Testo.dll", "just some text\r\n");
  prefisso.Scrivi("C:\\Orbalis\\Componenti\\Vuoto.dll", "");
  Installa(prefisso, "standin-exeserver", "C:\\Orbalis\\Componenti\\Programma.dll");
  std::filesystem::create_directories(prefisso.Host("C:\\Orbalis\\Componenti\\Cartella.dll"));
  for (const std::string p :
       {"C:\\Orbalis\\Componenti\\Assente.dll", "C:\\Assente\\Orbalis.dll", "X:\\Orbalis\\Orbalis.dll", "",
        "Orbalis.dll", "C:\\Orbalis\\Componenti\\Testo.dll", "C:\\Orbalis\\Componenti\\Vuoto.dll",
        "C:\\Orbalis\\Componenti\\Programma.dll", "C:\\Orbalis\\Componenti\\Cartella.dll"}) {
    for (const std::int32_t flag : {0, 1}) {
      ui.messaggi.clear();
      EXPECT_FALSE(reg.RegistraDll(p, flag)) << p;
      EXPECT_EQ(ui.messaggi, std::vector<Messaggio>{CaricamentoFallito()}) << p;
    }
  }
  EXPECT_TRUE(Registrati(prefisso).empty());
  EXPECT_TRUE(NessunFiglio());
}

TEST_F(RegistraDllTest, ALibraryWithoutTheEntryPointGivesTheEntryPointBox) {
  const std::string dll = "D:\\Cartella con spazi\\Normale.dll";
  Installa(prefisso, "standin-component-vuota.so", dll);
  EXPECT_FALSE(reg.RegistraDll(dll, 0));
  EXPECT_FALSE(reg.RegistraDll(dll, 1));
  EXPECT_EQ(ui.messaggi, (std::vector<Messaggio>{EntryPointMancante(dll), EntryPointMancante(dll)}));
  EXPECT_TRUE(NessunFiglio());
}

TEST_F(RegistraDllTest, AWorkerThatCannotStartGivesTheEntryPointBox) {
  Installa(prefisso, "standin-component.so", kDll);
  RegistratoreIsolato senzaWorker(
      ui, std::make_unique<CanaleRegistrazioneLinux>(DriveTable(prefisso.Dir()),
                                                     prefisso.Dir() / "manca" / "compilawexo-regworker"));
  EXPECT_FALSE(senzaWorker.RegistraDll(kDll, 0));
  // Something that starts but is no worker: it ends without a word.
  RegistratoreIsolato nonWorker(ui,
                                std::make_unique<CanaleRegistrazioneLinux>(DriveTable(prefisso.Dir()), "/bin/true"));
  EXPECT_FALSE(nonWorker.RegistraDll(kDll, 0));
  EXPECT_EQ(ui.messaggi, (std::vector<Messaggio>{EntryPointMancante(kDll), EntryPointMancante(kDll)}));
  EXPECT_TRUE(Registrati(prefisso).empty());
}

// The window waits for the worker through its own wait, which runs its event pump.
TEST_F(RegistraDllTest, TheWorkerIsWaitedForThroughTheWaitGiven) {
  struct Contata : AttesaBloccante {
    int volte = 0;
    int Aspetta(pollfd* fds, nfds_t n, int ms) override {
      ++volte;
      return AttesaBloccante::Aspetta(fds, n, ms);
    }
  } attesa;
  Installa(prefisso, "standin-component.so", kDll);
  RegistratoreIsolato conAttesa(ui, std::make_unique<CanaleRegistrazioneLinux>(DriveTable(prefisso.Dir())), 10s,
                                &attesa);
  EXPECT_TRUE(conAttesa.RegistraDll(kDll, 0));
  EXPECT_GE(attesa.volte, 1);
  EXPECT_EQ(Registrati(prefisso), Insieme{kDll});
}

TEST_F(RegistraDllTest, ABlockingEntryPointIsEndedAfterTheTimeOutBox) {
  const std::string dll = "C:\\Orbalis\\Componenti\\Blocca.dll";
  Installa(prefisso, "standin-component-blocca.so", dll);
  const auto filePid = prefisso.Dir() / "blocca.pid";
  long worker = 0, figlio = 0;
  bool viviAlBox = false;
  struct UiCheControlla : UiRegistrata {
    std::function<void()> alBox;
    int MsgBox(const std::string& t, int s, const std::string& ti) override {
      alBox();
      return UiRegistrata::MsgBox(t, s, ti);
    }
  } uiControllo;
  uiControllo.alBox = [&] {
    std::ifstream(filePid) >> worker >> figlio;
    viviAlBox = worker > 0 && figlio > 0 && InVita(static_cast<pid_t>(worker)) && InVita(static_cast<pid_t>(figlio));
  };
  RegistratoreIsolato conLimite(uiControllo, std::make_unique<CanaleRegistrazioneLinux>(DriveTable(prefisso.Dir())),
                                300ms);
  const auto inizio = std::chrono::steady_clock::now();
  EXPECT_FALSE(conLimite.RegistraDll(dll, 0));
  const auto trascorsi = std::chrono::steady_clock::now() - inizio;
  EXPECT_GE(trascorsi, 300ms);
  EXPECT_LT(trascorsi, 20s);  // a blocked component is never left to run on
  EXPECT_EQ(uiControllo.messaggi, std::vector<Messaggio>{TimeOut(dll)});
  // The box came first, while the worker still ran; then the worker and what
  // it started were ended, and the worker reaped.
  EXPECT_TRUE(viviAlBox);
  EXPECT_FALSE(InVita(static_cast<pid_t>(worker)));
  EXPECT_TRUE(Entro([&] { return !InVita(static_cast<pid_t>(figlio)); }));
  EXPECT_TRUE(NessunFiglio());
}

TEST_F(RegistraDllTest, ACrashingComponentIsReportedAndTheToolGoesOn) {
  const std::string dll = "C:\\Orbalis\\Componenti\\Crash.dll";
  Installa(prefisso, "standin-component-crash.so", dll);
  Installa(prefisso, "standin-component.so", kDll);
  EXPECT_FALSE(reg.RegistraDll(dll, 0));
  EXPECT_FALSE(reg.RegistraDll(dll, 1));
  EXPECT_EQ(ui.messaggi, (std::vector<Messaggio>{Crash(dll), Crash(dll)}));
  // An entry point that ends the worker instead of returning fails alike.
  const std::string esce = "C:\\Orbalis\\Componenti\\Esce.dll";
  Installa(prefisso, "standin-component-esce.so", esce);
  EXPECT_FALSE(reg.RegistraDll(esce, 0));
  EXPECT_EQ(ui.messaggi, (std::vector<Messaggio>{Crash(dll), Crash(dll), Crash(esce)}));
  EXPECT_TRUE(NessunFiglio());
  // The next call works as ever.
  EXPECT_TRUE(reg.RegistraDll(kDll, 0));
  EXPECT_EQ(Registrati(prefisso), Insieme{kDll});
}

TEST_F(RegistraDllTest, SameNamedLibrariesInTwoFoldersEachRegisterThemselves) {
  const std::string copia = "D:\\QuilApp\\Orbalis.dll";
  Installa(prefisso, "standin-component.so", kDll);
  Installa(prefisso, "standin-component.so", copia);
  EXPECT_TRUE(reg.RegistraDll(kDll, 0));
  EXPECT_TRUE(reg.RegistraDll(copia, 0));
  EXPECT_EQ(Registrati(prefisso), (Insieme{kDll, copia}));
  // The full build run's move: removed at the build location, the copy
  // registered at once.
  EXPECT_TRUE(reg.RegistraDll(kDll, 1));
  EXPECT_TRUE(reg.RegistraDll(copia, 0));
  EXPECT_EQ(Registrati(prefisso), Insieme{copia});
  EXPECT_TRUE(ui.messaggi.empty());
}

TEST(RegistraExeTest, AnExeServerRecordsItselfInItsOwnProcess) {
  PrefissoTemporaneo prefisso;
  const std::string exe = "C:\\Orbalis\\Componenti\\Server.exe";
  Installa(prefisso, "standin-exeserver", exe);
  std::filesystem::permissions(prefisso.Host(exe), std::filesystem::perms::owner_all);
  LinuxProcesses processi{DriveTable(prefisso.Dir())};
  RegistraExe(processi, exe, 0);
  EXPECT_TRUE(Entro([&] { return Registrati(prefisso) == Insieme{exe}; }));
  RegistraExe(processi, exe, 1);
  EXPECT_TRUE(Entro([&] { return Registrati(prefisso).empty(); }));
  EXPECT_TRUE(Entro([&] { return processi.FigliInCorso() == 0; }));
}

}  // namespace
}  // namespace cw
