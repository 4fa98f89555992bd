#include "registration/registra_componenti.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/errors.h"
#include "support/processi_finti.h"
#include "support/registratore_finto.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::ProcessiFinti;
using test::RegistratoreFinto;
using test::UiRegistrata;
using Chiamate = std::vector<RegistratoreFinto::Chiamata>;
using Avvii = std::vector<ProcessiFinti::Avvio>;
using Righe = std::vector<std::string>;

RigaCatalogo Riga(const std::string& cartellaOutput, const std::string& tipo, const std::string& fileOutput) {
  return {"C:\\Progetti VB\\Wexo\\X", "X.vbp", cartellaOutput, tipo, fileOutput};
}

const char* kOut = "C:\\Orbalis\\Componenti";

class Walk : public ::testing::Test {
 protected:
  UiRegistrata ui;
  RegistratoreFinto reg;
  ProcessiFinti proc;
  void SetUp() override {
    reg.alChiamare = [this] { ui.eventi.push_back("dll:" + reg.chiamate.back().percorso); };
    proc.programma = [this](const std::string& riga) { ui.eventi.push_back("shell:" + riga); };
  }
};

TEST_F(Walk, EveryRowGetsItsTwoLinesAndOnlyExactKindsAnAction) {
  CatalogoComponenti catalogo({
      Riga(kOut, "dll", "Orbalis.dll"),
      Riga(kOut, "exe", "WexoSrv.exe"),
      Riga(kOut, "app", "Wexo.exe"),
      Riga(kOut, "Dll", "Maiuscola.dll"),
      Riga(kOut, "dll-skipcompile", "Salta.dll"),
      Riga(kOut, "exe-skipcompile", "SaltaSrv.exe"),
      Riga(kOut, "app-skipcompile", "SaltaApp.exe"),
      Riga(kOut, "dll ", "Spazio.dll"),
      Riga("", "", ""),
      Riga(kOut, "dll", "Società.dll"),
  });
  EXPECT_FALSE(RegistraComponenti(catalogo, ui, &reg, &proc, true).Fallita());
  const Righe nomi = {"ORBALIS.DLL",  "WEXOSRV.EXE", "WEXO.EXE", "MAIUSCOLA.DLL", "SALTA.DLL", "SALTASRV.EXE",
                      "SALTAAPP.EXE", "SPAZIO.DLL",  "",         "SOCIETÀ.DLL"};
  Righe attese;
  for (const auto& n : nomi) attese.push_back("Registrazione componente " + n + " in corso... OK!");
  EXPECT_EQ(ui.log, attese);
  EXPECT_EQ(reg.chiamate, (Chiamate{
                              {"C:\\Orbalis\\Componenti\\Orbalis.dll", 0},
                              {"C:\\Orbalis\\Componenti\\Salta.dll", 0},
                              {"C:\\Orbalis\\Componenti\\Società.dll", 0},
                          }));
  EXPECT_EQ(proc.avvii, (Avvii{
                            {"C:\\Orbalis\\Componenti\\WexoSrv.exe /RegServer", 0},
                            {"C:\\Orbalis\\Componenti\\SaltaSrv.exe /RegServer", 0},
                        }));
}

TEST_F(Walk, EachRowIsAnnouncedActedOnThenConcluded) {
  CatalogoComponenti catalogo({Riga(kOut, "dll", "A.dll"), Riga(kOut, "app", "B.exe"), Riga(kOut, "exe", "C.exe")});
  RegistraComponenti(catalogo, ui, &reg, &proc, true);
  EXPECT_EQ(ui.eventi, (Righe{
                           "add:Registrazione componente A.DLL in corso...",
                           "select:0",
                           "refresh",
                           "dll:C:\\Orbalis\\Componenti\\A.dll",
                           "set:0:Registrazione componente A.DLL in corso... OK!",
                           "refresh",
                           "add:Registrazione componente B.EXE in corso...",
                           "select:1",
                           "refresh",
                           "set:1:Registrazione componente B.EXE in corso... OK!",
                           "refresh",
                           "add:Registrazione componente C.EXE in corso...",
                           "select:2",
                           "refresh",
                           "shell:C:\\Orbalis\\Componenti\\C.exe /RegServer",
                           "set:2:Registrazione componente C.EXE in corso... OK!",
                           "refresh",
                       }));
  EXPECT_TRUE(ui.messaggi.empty());
}

TEST_F(Walk, RemovalWalksFromTheFirstRowWithFlagOne) {
  CatalogoComponenti catalogo(
      {Riga(kOut, "dll", "Primo.dll"), Riga(kOut, "exe", "Srv.exe"), Riga(kOut, "dll", "Ultimo.dll")});
  EXPECT_FALSE(RegistraComponenti(catalogo, ui, &reg, &proc, false).Fallita());
  EXPECT_EQ(ui.log,
            (Righe{"Rimozione componente PRIMO.DLL in corso... OK!", "Rimozione componente SRV.EXE in corso... OK!",
                   "Rimozione componente ULTIMO.DLL in corso... OK!"}));
  EXPECT_EQ(reg.chiamate,
            (Chiamate{{"C:\\Orbalis\\Componenti\\Primo.dll", 1}, {"C:\\Orbalis\\Componenti\\Ultimo.dll", 1}}));
  EXPECT_EQ(proc.avvii, (Avvii{{"C:\\Orbalis\\Componenti\\Srv.exe /UnregServer", 0}}));
}

TEST_F(Walk, TheExeLineKeepsBlanksAndAddsNoQuotes) {
  CatalogoComponenti catalogo(
      {Riga("D:\\Cartella con spazi\\Out", "exe", "Il Server.exe"), Riga("C:\\Out\\", "exe", "S.exe")});
  RegistraComponenti(catalogo, ui, &reg, &proc, true);
  RegistraComponenti(catalogo, ui, &reg, &proc, false);
  EXPECT_EQ(proc.avvii, (Avvii{
                            {"D:\\Cartella con spazi\\Out\\Il Server.exe /RegServer", 0},
                            {"C:\\Out\\\\S.exe /RegServer", 0},
                            {"D:\\Cartella con spazi\\Out\\Il Server.exe /UnregServer", 0},
                            {"C:\\Out\\\\S.exe /UnregServer", 0},
                        }));
}

// A DLL that failed, an EXE server that ended with a code other than 0 or
// did not end within the limit: the row ends in " ERRORE!", after the box.
TEST_F(Walk, AFailedRegistrationEndsItsLineInErrorAndTheWalkGoesOn) {
  CatalogoComponenti catalogo({Riga(kOut, "dll", "Buona.dll"), Riga(kOut, "dll", "Rotta.dll"),
                               Riga(kOut, "exe", "Srv.exe"), Riga(kOut, "exe", "Tre.exe"),
                               Riga(kOut, "exe", "Appeso.exe"), Riga(kOut, "dll", "Dopo.dll")});
  reg.falliscono = {"C:\\Orbalis\\Componenti\\Rotta.dll"};
  proc.codici = {{"C:\\Orbalis\\Componenti\\Tre.exe /RegServer", 3}};
  proc.appesi = {"C:\\Orbalis\\Componenti\\Appeso.exe /RegServer"};
  const RiepilogoRegistrazione esito = RegistraComponenti(catalogo, ui, &reg, &proc, true);
  EXPECT_EQ(esito.riuscite, 3);
  EXPECT_EQ(esito.fallite, (Righe{"ROTTA.DLL", "TRE.EXE", "APPESO.EXE"}));
  EXPECT_EQ(ui.log, (Righe{"Registrazione componente BUONA.DLL in corso... OK!",
                           "Registrazione componente ROTTA.DLL in corso... ERRORE!",
                           "Registrazione componente SRV.EXE in corso... OK!",
                           "Registrazione componente TRE.EXE in corso... ERRORE!",
                           "Registrazione componente APPESO.EXE in corso... ERRORE!",
                           "Registrazione componente DOPO.DLL in corso... OK!"}));
  EXPECT_EQ(reg.chiamate.size(), 3u);
  // Each server waited for with the DLLs' limit; the one that hung ended;
  // every handle closed.
  const std::string k = "C:\\Orbalis\\Componenti\\";
  EXPECT_EQ(proc.eventi, (Righe{"avvia:" + k + "Srv.exe /RegServer", "attendi:1:10000", "rilascia:1",
                                "avvia:" + k + "Tre.exe /RegServer", "attendi:2:10000", "rilascia:2",
                                "avvia:" + k + "Appeso.exe /RegServer", "attendi:3:10000", "termina:3", "rilascia:3"}));
  ASSERT_EQ(ui.messaggi.size(), 2u);
  const auto box =
      std::find(ui.eventi.begin(), ui.eventi.end(), "msg:" + ui.messaggi[0].titolo + ":" + ui.messaggi[0].testo);
  ASSERT_NE(box, ui.eventi.end());
  EXPECT_EQ(*std::next(box), "set:3:Registrazione componente TRE.EXE in corso... ERRORE!");
  ui.LogClear();
  EXPECT_TRUE(RegistraComponenti(catalogo, ui, &reg, &proc, false).Fallita());
  EXPECT_EQ(ui.log[1], "Rimozione componente ROTTA.DLL in corso... ERRORE!");
}

TEST_F(Walk, AnExeServerThatCannotStartStopsTheWalkWithItsError) {
  CatalogoComponenti catalogo({Riga(kOut, "exe", "Assente.exe"), Riga(kOut, "dll", "Dopo.dll")});
  proc.nonAvviabile = true;
  try {
    RegistraComponenti(catalogo, ui, &reg, &proc, true);
    FAIL() << "no error";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kFileNonTrovato);
  }
  EXPECT_EQ(ui.log, (Righe{"Registrazione componente ASSENTE.EXE in corso..."}));
  EXPECT_TRUE(reg.chiamate.empty());
}

TEST_F(Walk, ServicesAreNeededOnlyByTheRowsThatUseThem) {
  CatalogoComponenti soloApp({Riga(kOut, "app", "A.exe")});
  EXPECT_FALSE(RegistraComponenti(soloApp, ui, nullptr, nullptr, true).Fallita());
  CatalogoComponenti conDll({Riga(kOut, "dll", "A.dll")});
  try {
    RegistraComponenti(conDll, ui, nullptr, &proc, true);
    FAIL() << "no error";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kChiamataNonValida);
  }
}

TEST_F(Walk, TheProgramsCatalogueIsWalkedByItsOwnBounds) {
  CatalogoComponenti vuoto;  // 148 empty slots
  RegistraComponenti(vuoto, ui, &reg, &proc, true);
  ASSERT_EQ(ui.log.size(), 148u);
  EXPECT_EQ(ui.log.front(), "Registrazione componente  in corso... OK!");
}

}  // namespace
}  // namespace cw
