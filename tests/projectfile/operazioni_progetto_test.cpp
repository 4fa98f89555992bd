#include "projectfile/operazioni_progetto.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "support/suite_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

using test::SuiteProva;
using test::UiRegistrata;

const std::string kProgetto =
    "Type=OleDll\n"
    "CompatibleMode=\"1\"\n"
    "MajorVer=1\n"
    "MinorVer=0\n"
    "RevisionVer=41\n"
    "FavorPentiumPro(tm)=0\n"
    "VersionComments=\"old\"\n"
    "VersionLegalCopyright=\xA9 old\n"
    "VersionProductName=P\n"
    "VersionCompanyName=S\n";

class PassaggioTest : public ::testing::Test {
 protected:
  SuiteProva suite{{{"Alfa", "Alfa.vbp", "dll"},
                    {"Beta", "beta.vbp", "app"},
                    {"Gamma", "Gamma.Vbp", "exe-skipcompile"},
                    {"Delta", "Delta.vbp", "app-skipcompile"},
                    {"Epsilon", "Epsilon.vbp", "App"},
                    {"Zeta", "Zeta.vbp", "dll-skipcompile"}}};
  UiRegistrata ui;

  void SetUp() override {
    for (std::size_t i = 0; i < suite.righe.size(); ++i) suite.Scrivi(suite.Progetto(i), kProgetto);
  }
};

TEST_F(PassaggioTest, CompatibilitySkipsApplicationsAndLogsEveryOtherRow) {
  ImpostaCompatibilita(suite.fso, suite.catalogo, ui, Compatibilita::Binaria);
  EXPECT_EQ(ui.log, (std::vector<std::string>{
                        "Impostazione compatibilità di ALFA.VBP in corso... OK!",
                        "Impostazione compatibilità di GAMMA.VBP in corso... OK!",
                        "Impostazione compatibilità di EPSILON.VBP in corso... OK!",
                        "Impostazione compatibilità di ZETA.VBP in corso... OK!",
                    }));
  for (std::size_t i : {0u, 2u, 4u, 5u}) {
    const std::string dopo = suite.Leggi(suite.Progetto(i));
    EXPECT_NE(dopo.find("\r\nCompatibleMode=\"2\"\r\n"), std::string::npos) << i;
    EXPECT_EQ(dopo.find("\"1\""), std::string::npos) << i;
  }
  // The applications were not even opened: their bytes and line ends are as before.
  EXPECT_EQ(suite.Leggi(suite.Progetto(1)), kProgetto);
  EXPECT_EQ(suite.Leggi(suite.Progetto(3)), kProgetto);
}

TEST_F(PassaggioTest, EachLineIsAnnouncedSelectedAndRepaintedThenOverwritten) {
  ImpostaCompatibilita(suite.fso, suite.catalogo, ui, Compatibilita::Nessuna);
  const std::vector<std::string> primi(ui.eventi.begin(), ui.eventi.begin() + 8);
  EXPECT_EQ(primi, (std::vector<std::string>{"add:Impostazione compatibilità di ALFA.VBP in corso...", "select:0",
                                             "refresh", "set:0:Impostazione compatibilità di ALFA.VBP in corso... OK!",
                                             "refresh", "add:Impostazione compatibilità di GAMMA.VBP in corso...",
                                             "select:1", "refresh"}));
  EXPECT_EQ(ui.selezionata, 3);
  EXPECT_NE(suite.Leggi(suite.Progetto(0)).find("CompatibleMode=\"0\"\r\n"), std::string::npos);
}

TEST_F(PassaggioTest, UnquotedModeBecomesQuotedAndAMissingLineIsNotAdded) {
  suite.Scrivi(suite.Progetto(0), "Type=OleDll\nCompatibleMode=0\n");
  suite.Scrivi(suite.Progetto(2), "Type=Exe\n");
  ImpostaCompatibilita(suite.fso, suite.catalogo, ui, Compatibilita::Progetto);
  EXPECT_EQ(suite.Leggi(suite.Progetto(0)), "Type=OleDll\r\nCompatibleMode=\"1\"\r\n");
  EXPECT_EQ(suite.Leggi(suite.Progetto(2)), "Type=Exe\r\n");
  EXPECT_EQ(ui.log[1], "Impostazione compatibilità di GAMMA.VBP in corso... OK!");
}

TEST_F(PassaggioTest, VersionRewritesEveryRowWithTheTextsAsGiven) {
  ImpostaVersione(suite.fso, suite.catalogo, ui, " 3", "01", "0099");
  ASSERT_EQ(ui.log.size(), 6u);
  EXPECT_EQ(ui.log[1], "Impostazione versione di BETA.VBP in corso... OK!");
  EXPECT_EQ(suite.Leggi(suite.Progetto(3)),
            "Type=OleDll\r\nCompatibleMode=\"1\"\r\nMajorVer= 3\r\nMinorVer=01\r\nRevisionVer=0099\r\n"
            "FavorPentiumPro(tm)=-1\r\nVersionComments=\"old\"\r\nVersionLegalCopyright=\xA9 old\r\n"
            "VersionProductName=P\r\nVersionCompanyName=S\r\n");
}

TEST_F(PassaggioTest, FavorPentiumProOnlyFromItsExactZeroLine) {
  suite.Scrivi(suite.Progetto(0), "FavorPentiumPro(tm)=0\n");
  suite.Scrivi(suite.Progetto(1), "FavorPentiumPro(tm)=-1\nFavorPentiumPro(tm)=0 \n");
  ImpostaVersione(suite.fso, suite.catalogo, ui, "1", "2", "3");
  EXPECT_EQ(suite.Leggi(suite.Progetto(0)), "FavorPentiumPro(tm)=-1\r\n");
  EXPECT_EQ(suite.Leggi(suite.Progetto(1)), "FavorPentiumPro(tm)=-1\r\nFavorPentiumPro(tm)=0 \r\n");
}

TEST_F(PassaggioTest, PropertiesGoInAsWindows1252WithoutQuotes) {
  suite.Scrivi(suite.Progetto(0), "VersionLegalCopyright=x\nVersionCompanyName=y\nVersionComments=z\n");
  ImpostaProprieta(suite.fso, suite.catalogo, ui, "", "© 2024 \"Società\"", "a=b", "€ ☃");
  EXPECT_EQ(suite.Leggi(suite.Progetto(0)),
            "VersionLegalCopyright=\xA9 2024 \"Societ\xE0\"\r\nVersionCompanyName=\x80 ?\r\nVersionComments=\r\n");
  EXPECT_EQ(ui.log[0], "Impostazione proprietà di ALFA.VBP in corso... OK!");
  EXPECT_EQ(ui.log.size(), 6u);
}

TEST_F(PassaggioTest, PropertiesAppendToTheLogWithoutClearingIt) {
  ui.LogAddItem("earlier line");
  ImpostaProprieta(suite.fso, suite.catalogo, ui, "a", "b", "c", "d");
  ImpostaProprieta(suite.fso, suite.catalogo, ui, "a", "b", "c", "d");
  ASSERT_EQ(ui.log.size(), 13u);
  EXPECT_EQ(ui.log[0], "earlier line");
  EXPECT_EQ(ui.log[7], "Impostazione proprietà di ALFA.VBP in corso... OK!");
}

TEST_F(PassaggioTest, AReadOnlyFileStopsThePassAtItsRow) {
  suite.SolaLettura(suite.Progetto(2));
  try {
    ImpostaVersione(suite.fso, suite.catalogo, ui, "9", "9", "9");
    FAIL() << "no error";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kAutorizzazioneNegata);
  }
  EXPECT_EQ(ui.log, (std::vector<std::string>{"Impostazione versione di ALFA.VBP in corso... OK!",
                                              "Impostazione versione di BETA.VBP in corso... OK!",
                                              "Impostazione versione di GAMMA.VBP in corso..."}));
  EXPECT_NE(suite.Leggi(suite.Progetto(1)).find("MajorVer=9\r\n"), std::string::npos);
  EXPECT_EQ(suite.Leggi(suite.Progetto(2)), kProgetto);
  EXPECT_EQ(suite.Leggi(suite.Progetto(2) + "_tmp"), kProgetto);
  EXPECT_EQ(suite.Leggi(suite.Progetto(3)), kProgetto);
  EXPECT_FALSE(suite.Esiste(suite.Progetto(3) + "_tmp"));
}

TEST_F(PassaggioTest, AMissingProjectFileStopsThePassWithNoCopyLeft) {
  std::filesystem::remove(suite.prefisso.Host(suite.Progetto(1)));
  // Beta is an "app": the compatibility pass never looks for its file.
  EXPECT_NO_THROW(ImpostaCompatibilita(suite.fso, suite.catalogo, ui, Compatibilita::Binaria));
  ui.LogClear();
  EXPECT_THROW(ImpostaProprieta(suite.fso, suite.catalogo, ui, "", "", "", ""), ErroreRuntime);
  EXPECT_EQ(ui.log.back(), "Impostazione proprietà di BETA.VBP in corso...");
  EXPECT_FALSE(suite.Esiste(suite.Progetto(1) + "_tmp"));
}

// The GUID replacement over project files and the "Form" folders.
class GuidTest : public ::testing::Test {
 protected:
  SuiteProva suite{{{"Alfa", "Alfa.vbp"}, {"Beta", "Beta.vbp", "app"}}};
  UiRegistrata ui;
  const std::string vecchio = "{1F852AFD-5C0A-46D0-8AA1-4319E8EF72C0}";
  const std::string nuovo = "{00000000-AAAA-BBBB-CCCC-1F852AFD5C0A}";
  const std::string conGuid =
      "Object={1F852AFD-5C0A-46D0-8AA1-4319E8EF72C0}#1.0#0; X.ocx\n"
      "x={1f852afd-5c0a-46d0-8aa1-4319e8ef72c0}\n";
  const std::string sostituito =
      "Object={00000000-AAAA-BBBB-CCCC-1F852AFD5C0A}#1.0#0; X.ocx\r\n"
      "x={1f852afd-5c0a-46d0-8aa1-4319e8ef72c0}\r\n";
};

TEST_F(GuidTest, ProjectAndFormFilesDirectlyInsideFormAreRewritten) {
  suite.Scrivi(suite.Progetto(0), conGuid);
  suite.Scrivi(suite.Progetto(1), "Name=\"Beta\"\n");
  for (const char* nome : {"Form\\frmA.frm", "Form\\X.FRM", "Form\\a.frm_tmp", "Form\\b.frx", "Form\\Sub\\c.frm",
                           "Form\\frm", "Form\\.frm", "frmOutside.frm"})
    suite.Scrivi(suite.InCartella(0, nome), conGuid);
  std::filesystem::create_directories(suite.prefisso.Host(suite.InCartella(0, "Form\\Vuota.frm")));

  SostituisciGuid(suite.fso, suite.catalogo, vecchio, nuovo);

  EXPECT_TRUE(ui.eventi.empty());
  EXPECT_EQ(suite.Leggi(suite.Progetto(0)), sostituito);
  EXPECT_EQ(suite.Leggi(suite.InCartella(0, "Form\\frmA.frm")), sostituito);
  EXPECT_EQ(suite.Leggi(suite.InCartella(0, "Form\\.frm")), sostituito);
  for (const char* nome :
       {"Form\\X.FRM", "Form\\a.frm_tmp", "Form\\b.frx", "Form\\Sub\\c.frm", "Form\\frm", "frmOutside.frm"})
    EXPECT_EQ(suite.Leggi(suite.InCartella(0, nome)), conGuid) << nome;
  // A row without a "Form" folder still has its project file rewritten.
  EXPECT_EQ(suite.Leggi(suite.Progetto(1)), "Name=\"Beta\"\r\n");
  EXPECT_EQ(suite.FileInCartella(0),
            (std::vector<std::string>{"Alfa.vbp", "Form/.frm", "Form/Sub/c.frm", "Form/X.FRM", "Form/a.frm_tmp",
                                      "Form/b.frx", "Form/frm", "Form/frmA.frm", "frmOutside.frm"}));
}

TEST_F(GuidTest, TheFormFolderIsFoundInAnyCase) {
  suite.Scrivi(suite.Progetto(0), "");
  suite.Scrivi(suite.Progetto(1), "");
  suite.Scrivi(suite.InCartella(1, "FORM\\f.frm"), conGuid);
  SostituisciGuid(suite.fso, suite.catalogo, vecchio, nuovo);
  EXPECT_EQ(suite.Leggi(suite.InCartella(1, "FORM\\f.frm")), sostituito);
}

TEST_F(GuidTest, AReadOnlyFormFileStopsTheReplacement) {
  suite.Scrivi(suite.Progetto(0), conGuid);
  suite.Scrivi(suite.Progetto(1), conGuid);
  suite.Scrivi(suite.InCartella(0, "Form\\f.frm"), conGuid);
  suite.SolaLettura(suite.InCartella(0, "Form\\f.frm"));
  EXPECT_THROW(SostituisciGuid(suite.fso, suite.catalogo, vecchio, nuovo), ErroreRuntime);
  EXPECT_EQ(suite.Leggi(suite.Progetto(0)), sostituito);
  EXPECT_EQ(suite.Leggi(suite.InCartella(0, "Form\\f.frm")), conGuid);
  EXPECT_TRUE(suite.Esiste(suite.InCartella(0, "Form\\f.frm_tmp")));
  EXPECT_EQ(suite.Leggi(suite.Progetto(1)), conGuid);
}

TEST_F(GuidTest, BinaryAndLargeFormFilesChangeOnlyWhereTheGuidIs) {
  std::string binario = std::string("\0\x1A\xFF\x80", 4) + vecchio + std::string("\0", 1);
  std::string grande, atteso;
  while (grande.size() < 5 * 1024 * 1024) {
    grande += "      BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851} " + vecchio + "\n";
    atteso += "      BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851} " + nuovo + "\r\n";
  }
  suite.Scrivi(suite.Progetto(0), binario);
  suite.Scrivi(suite.Progetto(1), "");
  suite.Scrivi(suite.InCartella(0, "Form\\grande.frm"), grande);
  SostituisciGuid(suite.fso, suite.catalogo, vecchio, nuovo);
  EXPECT_EQ(suite.Leggi(suite.Progetto(0)), std::string("\0\x1A\xFF\x80", 4) + nuovo + std::string("\0\r\n", 3));
  EXPECT_TRUE(suite.Leggi(suite.InCartella(0, "Form\\grande.frm")) == atteso);
}

}  // namespace
}  // namespace cw
