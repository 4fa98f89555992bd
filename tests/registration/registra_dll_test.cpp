#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/linux/attesa_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "registration/registra_componenti.h"
#include "registro_standin.h"
#include "support/canale_finto.h"
#include "support/processi_finti.h"
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
using test::ProcessiFinti;
using test::Registrati;
using test::UiRegistrata;
using Insieme = std::set<std::string>;

const std::string kDll = "C:\\Orbalis\\Componenti\\Orbalis.dll";

Messaggio CaricamentoFallito(const std::string& perche) {
  return {"Errore caricando la DLL\n\n" + perche, 16, "Register Server"};
}
Messaggio Restituito(const std::string& p, const char* codice) {
  return {"Registrazione fallita: la funzione di '" + p + "' ha restituito " + codice + ".", 16, "Register Server"};
}
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

// What the tool makes of each answer of the channel, with no worker behind
// it: the entry point by the flag and the limit reach the channel, each
// failure gives its box, and only a time-out ends the worker.
TEST(RegistratoreIsolatoTest, EachAnswerOfTheChannelGivesItsBox) {
  using R = RispostaRegistrazione;
  const std::string nonCaricabile = "Il file '" + kDll + "' non si può caricare";
  const struct {
    EsitoRegistrazione esito;
    std::vector<Messaggio> box;
    bool termina;
  } casi[] = {
      {test::CanaleFinto::Conclusa(0), {}, false},
      {test::CanaleFinto::Conclusa(1), {}, false},  // S_FALSE
      {test::CanaleFinto::Conclusa(static_cast<std::int32_t>(0x80040201)), {Restituito(kDll, "0x80040201")}, false},
      {EsitoRegistrazione(MotivoCaricamento::Rifiutata), {CaricamentoFallito(nonCaricabile + ".")}, false},
      {EsitoRegistrazione(MotivoCaricamento::Rifiutata, "Parole."),
       {CaricamentoFallito(nonCaricabile + ": Parole.")},
       false},
      {R::EntryPointMancante, {EntryPointMancante(kDll)}, false},
      {R::NonAvviato, {EntryPointMancante(kDll)}, false},
      {R::Errore, {Crash(kDll)}, false},
      {R::TimeOut, {TimeOut(kDll)}, true},
  };
  for (const auto& c : casi) {
    for (const std::int32_t flag : {0, 1}) {
      SCOPED_TRACE(testing::Message() << static_cast<int>(c.esito.risposta) << " flag " << flag);
      UiRegistrata ui;
      auto proprio = std::make_unique<test::CanaleFinto>();
      test::CanaleFinto& canale = *proprio;
      canale.esiti = {c.esito};
      RegistratoreIsolato reg(ui, std::move(proprio), 300ms);
      EXPECT_EQ(reg.RegistraDll(kDll, flag), c.box.empty());
      EXPECT_EQ(ui.messaggi, c.box);
      std::vector<std::string> eventi = {flag == 0 ? "chiedi:DllRegisterServer" : "chiedi:DllUnregisterServer"};
      if (c.termina) eventi.push_back("termina");
      EXPECT_EQ(canale.eventi, eventi);
      ASSERT_EQ(canale.richieste.size(), 1u);
      EXPECT_EQ(canale.richieste[0].percorso, kDll);
      EXPECT_EQ(canale.richieste[0].limite, 300ms);
    }
  }
}

// The channel over the Linux workers in the prefix.
std::unique_ptr<CanaleWorker> Canale(const PrefissoTemporaneo& prefisso,
                                     std::filesystem::path worker = PercorsoWorkerPredefinito()) {
  return std::make_unique<CanaleWorker>(std::make_unique<AvvioWorkerLinux>(DriveTable(prefisso.Dir()), worker));
}

class RegistraDllTest : public ::testing::Test {
 protected:
  PrefissoTemporaneo prefisso;
  UiRegistrata ui;
  // Time enough for a worker's start on a busy machine; the time-out has a
  // test of its own.
  RegistratoreIsolato reg{ui, Canale(prefisso), 10s};
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
    EXPECT_FALSE(reg.RegistraDll(dll, flag));
    EXPECT_EQ(std::filesystem::exists(prefisso.Dir() / "errore.DllRegisterServer"), flag == 0) << flag;
    EXPECT_EQ(std::filesystem::exists(prefisso.Dir() / "errore.DllUnregisterServer"), flag != 0) << flag;
  }
  EXPECT_EQ(ui.messaggi, std::vector<Messaggio>(4, Restituito(dll, "0x80004005")));
}

// What the entry point returns decides: a negative HRESULT is a failure,
// S_OK and S_FALSE are not.
TEST_F(RegistraDllTest, ANegativeResultIsAFailureWithItsOwnBox) {
  struct Caso {
    const char* standin;
    const char* codice;  // null: a success, no box
  };
  const Caso casi[] = {
      {"standin-component.so", nullptr},
      {"standin-component-sfalse.so", nullptr},
      {"standin-component-rifiuta.so", "0x80040201"},
      {"standin-component-errore.so", "0x80004005"},
  };
  for (const Caso& c : casi) {
    const std::string dll = std::string("D:\\Cartella con spazi\\") + c.standin + ".dll";
    Installa(prefisso, c.standin, dll);
    for (const std::int32_t flag : {0, 1}) {
      ui.messaggi.clear();
      EXPECT_EQ(reg.RegistraDll(dll, flag), c.codice == nullptr) << c.standin;
      EXPECT_EQ(ui.messaggi, c.codice ? std::vector<Messaggio>{Restituito(dll, c.codice)} : std::vector<Messaggio>{})
          << c.standin;
    }
  }
}

// The headers of a Windows library, for the loader to refuse: machine,
// characteristics (0x2000: a DLL), and one section whose data ends at
// fineSezione, in a file of the given size.
std::string Pe(std::uint16_t macchina, std::uint16_t caratteristiche, std::uint32_t fineSezione, size_t dimensione) {
  std::string b(dimensione, '\0');
  auto scrivi = [&](size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n && at + i < b.size(); ++i) b[at + i] = static_cast<char>(v >> (8 * i));
  };
  scrivi(0, 'M' | 'Z' << 8, 2);
  scrivi(0x3C, 0x40, 4);
  scrivi(0x40, 'P' | 'E' << 8, 4);
  scrivi(0x44, macchina, 2);
  scrivi(0x46, 1, 2);  // one section, no optional header
  scrivi(0x56, caratteristiche, 2);
  scrivi(0x58 + 16, fineSezione - 0x100, 4);  // its data: from 0x100 to fineSezione
  scrivi(0x58 + 20, 0x100, 4);
  return b;
}

TEST_F(RegistraDllTest, WhatCannotBeLoadedGivesTheLoadBoxWithTheFileAndWhy) {
  const std::string cartella = "C:\\Orbalis\\Componenti\\";
  prefisso.Scrivi(cartella + "Testo.dll", "just some text\r\n");
  prefisso.Scrivi(cartella + "Vuoto.dll", "");
  prefisso.Scrivi(cartella + "A64.dll", Pe(0x8664, 0x2000, 0x200, 0x200));
  prefisso.Scrivi(cartella + "PeTroncato.dll", Pe(0x14C, 0x2000, 0x400, 0x300));
  prefisso.Scrivi(cartella + "A32.dll", Pe(0x14C, 0x2000, 0x200, 0x200));
  Installa(prefisso, "standin-exeserver", cartella + "Programma.dll");
  Installa(prefisso, "standin-component.so", cartella + "Troncato.dll");
  // Cut inside what the loader maps (its debugging sections alone it would not miss).
  std::filesystem::resize_file(prefisso.Host(cartella + "Troncato.dll"), 1024);
  std::filesystem::create_directories(prefisso.Host(cartella + "Cartella.dll"));
  struct Caso {
    std::string dll;
    std::string perche;  // after "Il file '<dll>'"
  };
  const bool a64 = AvvioWorkerLinux(DriveTable(prefisso.Dir())).BitWorkerWindows() == 64;
  const std::string kSenzaWine = " è una libreria Windows, ma Wine non si trova nel PATH.";
  const Caso casi[] = {
      {cartella + "Assente.dll", " non esiste."},
      {"C:\\Assente\\Orbalis.dll", " non esiste."},
      {"X:\\Orbalis\\Orbalis.dll", " non esiste."},
      {"", " non esiste."},
      {"Orbalis.dll", " non esiste."},
      {cartella + "Testo.dll", " non è una libreria Windows."},
      {cartella + "Vuoto.dll", " è troncato."},
      {cartella + "Troncato.dll", " è troncato."},
      {cartella + "PeTroncato.dll", " è troncato."},
      // The agent's own bitness is loaded; the other one refused naming both.
      {cartella + "A64.dll", a64 ? kSenzaWine : " è una libreria a 64 bit, il registratore è a 32 bit."},
      {cartella + "A32.dll", a64 ? " è una libreria a 32 bit, il registratore è a 64 bit." : kSenzaWine},
      // The loader's own words follow.
      {cartella + "Programma.dll", " non si può caricare: "},
  };
  // No wine to be found: the Windows library cannot be loaded.
  struct SenzaWine {
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    SenzaWine() { ::setenv("PATH", "/nessuna-cartella", 1); }
    ~SenzaWine() { ::setenv("PATH", path.c_str(), 1); }
  };
  std::optional<SenzaWine> senzaWine{std::in_place};
  for (const Caso& c : casi) {
    for (const std::int32_t flag : {0, 1}) {
      ui.messaggi.clear();
      EXPECT_FALSE(reg.RegistraDll(c.dll, flag)) << c.dll;
      ASSERT_EQ(ui.messaggi.size(), 1u) << c.dll;
      const Messaggio atteso = CaricamentoFallito("Il file '" + c.dll + "'" + c.perche);
      if (c.perche.ends_with(": "))
        EXPECT_TRUE(ui.messaggi[0].testo.starts_with(atteso.testo) && ui.messaggi[0].testo.size() > atteso.testo.size())
            << ui.messaggi[0].testo;
      else
        EXPECT_EQ(ui.messaggi[0], atteso);
    }
  }
  senzaWine.reset();
  ui.messaggi.clear();
  EXPECT_FALSE(reg.RegistraDll(cartella + "Cartella.dll", 0));
  EXPECT_EQ(ui.messaggi,
            std::vector<Messaggio>{CaricamentoFallito("'" + cartella + "Cartella.dll' è una cartella, non un file.")});
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
  RegistratoreIsolato senzaWorker(ui, Canale(prefisso, prefisso.Dir() / "manca" / "compilawexo-regworker"));
  EXPECT_FALSE(senzaWorker.RegistraDll(kDll, 0));
  // Something that starts but is no worker: it ends without a word.
  RegistratoreIsolato nonWorker(ui, Canale(prefisso, "/bin/true"));
  EXPECT_FALSE(nonWorker.RegistraDll(kDll, 0));
  EXPECT_EQ(ui.messaggi, (std::vector<Messaggio>{EntryPointMancante(kDll), EntryPointMancante(kDll)}));
  EXPECT_TRUE(Registrati(prefisso).empty());
}

// The window waits for the worker through its own wait, which runs its event pump.
TEST_F(RegistraDllTest, TheWorkerIsWaitedForThroughTheWaitGiven) {
  struct Contata : AttesaLinux {
    int volte = 0;
    int Aspetta(const OggettoAttesa* oggetti, std::size_t n, int ms) override {
      ++volte;
      return AttesaLinux::Aspetta(oggetti, n, ms);
    }
  } attesa;
  Installa(prefisso, "standin-component.so", kDll);
  RegistratoreIsolato conAttesa(ui, Canale(prefisso), 10s, &attesa);
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
  RegistratoreIsolato conLimite(uiControllo, Canale(prefisso), 300ms);
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

// A server whose wait fails (the agent under Wine gone) is a failure, not a success.
TEST(RegistraExeTest, AFailedWaitIsAFailure) {
  ProcessiFinti processi;
  processi.persi.insert("C:\\S.exe /RegServer");
  UiRegistrata ui;
  EXPECT_FALSE(RegistraExe(processi, ui, "C:\\S.exe", 0, 300ms));
  EXPECT_EQ(
      ui.messaggi,
      (std::vector<Messaggio>{{"Registrazione fallita per errore di 'C:\\S.exe'.", 16, "Registrazione fallita!"}}));
  EXPECT_EQ(std::count(processi.eventi.begin(), processi.eventi.end(), "termina:1"), 1);
}

// Each EXE server is waited for: its exit code decides, and one that does
// not end within the limit is ended with all it started.
TEST(RegistraExeTest, TheServersExitCodeOrTheLimitDecides) {
  PrefissoTemporaneo prefisso;
  UiRegistrata ui;
  ProcessiLinux processi{DriveTable(prefisso.Dir())};
  struct Caso {
    const char* standin;
    std::string box;  // with %s for the path; empty: a success
  };
  const Caso casi[] = {
      {"standin-exeserver", ""},
      {"standin-exeserver-esce", "Registrazione fallita: il server '%s' è terminato con il codice 3."},
      {"standin-exeserver-blocca",
       "Registrazione fallita per time-out da '%s': il server non ha finito entro 300 ms ed "
       "è stato terminato."},
  };
  for (const Caso& c : casi) {
    const std::string exe = std::string("D:\\Cartella con spazi\\") + c.standin + ".exe";
    Installa(prefisso, c.standin, exe);
    std::filesystem::permissions(prefisso.Host(exe), std::filesystem::perms::owner_all);
    std::string atteso = c.box;
    if (const auto p = atteso.find("%s"); p != std::string::npos) atteso.replace(p, 2, exe);
    for (const std::int32_t flag : {0, 1}) {
      ui.messaggi.clear();
      const auto inizio = std::chrono::steady_clock::now();
      EXPECT_EQ(RegistraExe(processi, ui, exe, flag, 300ms), c.box.empty()) << c.standin;
      EXPECT_LT(std::chrono::steady_clock::now() - inizio, 5s);
      // A success has done its work by the time it returns.
      if (c.box.empty()) {
        EXPECT_EQ(Registrati(prefisso), (flag == 0 ? Insieme{exe} : Insieme{}));
      }
      const std::vector<Messaggio> box = {{atteso, 16, "Registrazione fallita!"}};
      EXPECT_EQ(ui.messaggi, c.box.empty() ? std::vector<Messaggio>{} : box) << c.standin;
      EXPECT_EQ(processi.FigliInCorso(), 0u);
    }
  }
  // The hanging server's own child was ended with it.
  long server = 0, figlio = 0;
  std::ifstream(prefisso.Dir() / "server-blocca.pid") >> server >> figlio;
  ASSERT_GT(figlio, 0);
  EXPECT_TRUE(Entro([&] { return !InVita(static_cast<pid_t>(figlio)); }));
  EXPECT_TRUE(NessunFiglio());
}

}  // namespace
}  // namespace cw
