// Resources over the whole suite of a sandbox: "Backup e versione" (the
// backup and a pass over 148 project files), the compile loop and the
// registration walk there and back leave no file descriptor open and no
// child process behind, neither while the services live on nor once they
// are gone.

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "build/compila.h"
#include "catalogue/catalogo.h"
#include "commands/comandi.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/discendenza_linux.h"
#include "platform/linux/filesystem_linux.h"
#include "platform/linux/processi_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "sandbox.h"
#include "support/contesto_prova.h"
#include "support/prefisso_temporaneo.h"
#include "support/ui_registrata.h"

namespace cw::test {
namespace {

namespace fs = std::filesystem;

// The descriptors open in this process, as their targets ("socket:[..]",
// paths), without the one that lists them.
std::multiset<std::string> Descrittori() {
  std::multiset<std::string> out;
  DIR* d = ::opendir("/proc/self/fd");
  if (!d) return out;
  const int proprio = ::dirfd(d);
  while (const dirent* e = ::readdir(d)) {
    if (e->d_name[0] == '.') continue;
    if (std::stoi(e->d_name) == proprio) continue;
    char destinazione[4096];
    const std::string voce = std::string("/proc/self/fd/") + e->d_name;
    const ssize_t n = ::readlink(voce.c_str(), destinazione, sizeof destinazione - 1);
    out.insert(std::string(e->d_name) + " -> " + (n > 0 ? std::string(destinazione, static_cast<size_t>(n)) : "?"));
  }
  ::closedir(d);
  return out;
}

// This process's children, ended ones not yet reaped included.
std::set<std::string> Figli() {
  std::set<std::string> out;
  const std::string io = std::to_string(::getpid());
  std::error_code ec;
  for (const auto& e : fs::directory_iterator("/proc", ec)) {
    const std::string nome = e.path().filename().string();
    if (nome.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(e.path() / "stat");
    std::string stat;
    std::getline(in, stat);
    // pid (comm) state ppid ...: comm may hold blanks, so read after its ")".
    const size_t chiusa = stat.rfind(')');
    if (chiusa == std::string::npos) continue;
    std::istringstream resto(stat.substr(chiusa + 1));
    std::string stato, ppid;
    resto >> stato >> ppid;
    if (ppid == io) out.insert(nome + " " + stat.substr(0, chiusa + 1) + " " + stato);
  }
  return out;
}

std::string Elenco(const std::multiset<std::string>& voci) {
  std::string s;
  for (const auto& v : voci) s += "\n  " + v;
  return s;
}
std::string Elenco(const std::set<std::string>& voci) {
  return Elenco(std::multiset<std::string>(voci.begin(), voci.end()));
}

// Children started without a wait (the EXE servers) end on their own.
bool NessunFiglioEntro(std::chrono::seconds limite) {
  const auto fine = std::chrono::steady_clock::now() + limite;
  while (!Figli().empty()) {
    if (std::chrono::steady_clock::now() > fine) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// The counters themselves: an open descriptor shows, and a child shows while
// it runs and after it ends until it is reaped.
TEST(Risorse, TheCountersSeeADescriptorAndAChildUntilItIsReaped) {
  const auto prima = Descrittori();
  int tubo[2];
  ASSERT_EQ(::pipe(tubo), 0);
  EXPECT_EQ(Descrittori().size(), prima.size() + 2);
  const pid_t figlio = ::fork();
  ASSERT_GE(figlio, 0);
  if (figlio == 0) {
    char c;
    ::close(tubo[1]);
    [[maybe_unused]] const ssize_t letti = ::read(tubo[0], &c, 1);  // until the parent closes its end
    ::_exit(0);
  }
  EXPECT_EQ(Figli().size(), 1u);
  ::close(tubo[0]);
  ::close(tubo[1]);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Figli().size(), 1u) << "an ended child not yet reaped";
  int stato = 0;
  ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
  EXPECT_TRUE(Figli().empty());
  EXPECT_EQ(Descrittori(), prima);
}

TEST(Risorse, TheWholeSuiteLeavesNoDescriptorAndNoProcessBehind) {
  PrefissoTemporaneo radice;
  const fs::path sandbox = radice.Dir() / "sandbox";
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  ASSERT_EQ(catalogo.UBound() - catalogo.LBound() + 1, 148);
  const fs::path vb6 = CartellaEseguibile() / "standin-vb6";
  const bool conCompilazione = fs::exists(vb6) && fs::exists(PercorsoWorkerPredefinito());
  sandbox::OpzioniSandbox opzioni;
  if (conCompilazione) opzioni.installa.push_back({sandbox::kVb6, vb6, true});
  sandbox::CreaSandbox(sandbox, catalogo, opzioni);

  ASSERT_TRUE(Figli().empty()) << Elenco(Figli());
  // The guardian's pipe is the process's own for its whole life.
  PreparaDiscendenza();
  const auto prima = Descrittori();
  int passi = 0;
  {
    DriveTable drives(sandbox);
    auto fso = std::make_unique<FileSystemLinux>(drives);
    auto processi = std::make_unique<ProcessiLinux>(drives);
    UiRegistrata ui;
    auto registratore = std::make_unique<RegistratoreIsolato>(
        ui, std::make_unique<CanaleWorker>(std::make_unique<AvvioWorkerLinux>(drives)));
    CampiInMemoria campi;
    campi.ImpostaTesto(Campo::txtVersionePrincipale, "2");
    campi.ImpostaTesto(Campo::txtVersioneSecondario, "0");
    campi.ImpostaTesto(Campo::txtVersioneRevisione, "5");
    const std::string ini = (radice.Dir() / "WexoUty.ini").string();
    Contesto ctx = test::ContestoDiProva(*fso, catalogo, ui, campi,
                                         {.processi = processi.get(),
                                          .registratore = registratore.get(),
                                          .fileIni = [ini] { return ini; },
                                          .attendi = [](int) {}});
    // What the services hold for their whole life, once they are in use.
    const auto servizi = Descrittori();

    const auto controlla = [&](const char* dopo) {
      EXPECT_TRUE(NessunFiglioEntro(std::chrono::seconds(20))) << "after " << dopo << ":" << Elenco(Figli());
      EXPECT_EQ(Descrittori(), servizi) << "after " << dopo << ", before:" << Elenco(servizi)
                                        << "\nnow:" << Elenco(Descrittori());
      ++passi;
    };

    ASSERT_EQ(EseguiComando(ctx, &cmdImpostaVersione_Click), Esito::Completato) << ui.log.back();
    ASSERT_EQ(ui.log.size(), 2u * 148 + 1);
    controlla("Backup e versione");
    ASSERT_EQ(EseguiComando(ctx, &cmdBackup_Click), Esito::Completato);
    controlla("Solo backup");

    if (conCompilazione) {
      ASSERT_EQ(CompilaProgetti(*fso, catalogo, ui, *processi), std::nullopt) << ui.log.back();
      controlla("the compile loop");
      ui.messaggi.clear();
      EXPECT_EQ(EseguiComando(ctx, &cmdRegistra_Click), Esito::Completato) << ui.log.back();
      // The summary box only.
      EXPECT_EQ(ui.messaggi.size(), 1u) << ui.messaggi.front().testo;
      ui.messaggi.clear();
      controlla("Registra");
      EXPECT_EQ(EseguiComando(ctx, &cmdRimuovi_Click), Esito::Completato) << ui.log.back();
      controlla("Rimuovi");
    } else {
      std::cout << "[ skipped  ] the compile loop and the registration walk: standin-vb6 or the worker is not built"
                << std::endl;
    }
  }
  EXPECT_TRUE(NessunFiglioEntro(std::chrono::seconds(20))) << Elenco(Figli());
  const auto dopo = Descrittori();
  EXPECT_EQ(dopo, prima) << "before:" << Elenco(prima) << "\nafter:" << Elenco(dopo);
  std::cout << "[ numbers  ] " << passi << " commands over 148 projects; descriptors " << prima.size() << " before, "
            << dopo.size() << " after; children left " << Figli().size() << std::endl;
}

}  // namespace
}  // namespace cw::test
