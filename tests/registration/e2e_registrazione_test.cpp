// "Registra" and "Rimuovi" end to end on a fresh sandbox whose components the
// stand-in development environment built: the real process service, the
// real worker, the stand-in components writing the stand-ins' registry. Then
// the full build run, which moves the first row's registration to its copy
// in "D:\QuilApp".

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/ansi.h"
#include "build/compila.h"
#include "build/tutto.h"
#include "commands/comandi.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/filesystem_linux.h"
#include "platform/linux/processi_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "registration/canale_worker.h"
#include "registration/modRegistraDll.h"
#include "registro_standin.h"
#include "sandbox.h"
#include "support/contesto_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using test::Entro;
using test::UiRegistrata;

class RegistrazioneEndToEnd : public ::testing::Test {
 protected:
  test::PrefissoTemporaneo radice;  // only its folder: the sandbox goes inside
  fs::path sandbox = radice.Dir() / "sandbox";
  CatalogoComponenti catalogo;

  void SetUp() override {
    CaricaCatalogo(catalogo);
    sandbox::CreaSandbox(sandbox, catalogo, {false, {{sandbox::kVb6, CartellaEseguibile() / "standin-vb6", true}}});
  }

  // The registry, upper-cased so it compares with the catalogue's names
  // whatever case the built files have on disk.
  std::set<std::string> Registro() const {
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(sandbox / "registry-standin", ec)) {
      if (e.path().filename().string().front() == '.') continue;
      std::ifstream in(e.path());
      for (std::string riga; std::getline(in, riga);)
        if (riga.rfind("Percorso=", 0) == 0) out.insert(MaiuscoloUtf8(riga.substr(9)));
    }
    return out;
  }
};

TEST_F(RegistrazioneEndToEnd, RegistraAndRimuoviOverTheWholeSuite) {
  DriveTable drives(sandbox);
  FileSystemLinux fso(drives);
  ProcessiLinux processi(drives);
  UiRegistrata ui;
  RegistratoreIsolato registratore(ui, std::make_unique<CanaleWorker>(std::make_unique<AvvioWorkerLinux>(drives)));
  CampiInMemoria campi;
  campi.ImpostaTesto(Campo::txtVersionePrincipale, "1");
  campi.ImpostaTesto(Campo::txtVersioneSecondario, "0");
  campi.ImpostaTesto(Campo::txtVersioneRevisione, "0");
  const std::string ini = (radice.Dir() / "WexoUty.ini").string();
  Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, campi,
                                       {.processi = &processi,
                                        .registratore = &registratore,
                                        .fileIni = [&] { return ini; },
                                        .attendi = [](int) {},
                                        .mostraFileErrori = [](const std::string&) {}});

  ASSERT_EQ(CompilaProgetti(fso, catalogo, ui, processi), std::nullopt) << ui.log.back();

  std::set<std::string> server;
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i)
    if (catalogo(i, kTipo) == "dll" || catalogo(i, kTipo) == "exe")
      server.insert(MaiuscoloUtf8(catalogo.FileOutputCompleto(i)));
  ASSERT_EQ(server.size(), 140u);

  EXPECT_EQ(EseguiComando(ctx, &cmdRegistra_Click), Esito::Completato);
  ASSERT_EQ(ui.log.size(), 150u);
  EXPECT_EQ(ui.log[148], "Componenti registrati: 140, non registrati: 0");
  EXPECT_EQ(ui.log.back(), "Pronto");
  ASSERT_EQ(ui.messaggi.size(), 1u);
  EXPECT_EQ(ui.messaggi[0].testo, ui.log[148]);
  ui.messaggi.clear();
  for (int i = 0; i < 148; ++i)
    EXPECT_EQ(ui.log[i], "Registrazione componente " + MaiuscoloUtf8(catalogo(i, kFileOutput)) + " in corso... OK!");
  // Every EXE server has finished by "Pronto": each was waited for.
  EXPECT_EQ(Registro(), server);
  EXPECT_EQ(processi.FigliInCorso(), 0u);

  EXPECT_EQ(EseguiComando(ctx, &cmdRimuovi_Click), Esito::Completato);
  EXPECT_EQ(ui.messaggi.size(), 1u);
  ui.messaggi.clear();
  EXPECT_EQ(ui.log.front(), "Rimozione componente " + MaiuscoloUtf8(catalogo(0, kFileOutput)) + " in corso... OK!");
  EXPECT_TRUE(Registro().empty()) << Registro().size();

  // The full build run: the first row registered from its copy in D:\QuilApp.
  EXPECT_EQ(EseguiComando(ctx, &cmdTutto_Click), Esito::Completato) << ui.log.back();
  const std::string copia = std::string(kCartellaQuilApp) + "\\" + catalogo(0, kFileOutput);
  EXPECT_EQ(Registro(), std::set<std::string>{MaiuscoloUtf8(copia)});
  EXPECT_TRUE(Entro([&] { return processi.FigliInCorso() == 0; }));

  // Its copy there one whose entry point fails, read-only so the run's copy
  // leaves it (that copy's failure is let pass): the run has failed.
  const fs::path host = *drives.Resolve(copia);
  fs::remove(host);
  fs::copy_file(CartellaEseguibile() / "standin-component-rifiuta.so", host);
  fs::permissions(host, fs::perms::owner_read | fs::perms::group_read);
  ui.messaggi.clear();
  EXPECT_EQ(EseguiComando(ctx, &cmdTutto_Click), Esito::Fallito) << ui.log.back();
  ASSERT_FALSE(ui.messaggi.empty());
  EXPECT_EQ(ui.messaggi.back().testo,
            "Registrazione fallita: la funzione di '" + copia + "' ha restituito 0x80040201.");
  EXPECT_EQ(ui.log.back(), "Pronto");
}

}  // namespace
}  // namespace cw
