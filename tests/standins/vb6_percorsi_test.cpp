#include <gtest/gtest.h>

#include "percorsi_windows.h"
#include "progetto_vbp.h"

namespace cw::vb6 {
namespace {

TEST(PercorsiWindows, MembersAreRelativeToTheProjectFolder) {
  const std::string c = "C:\\Progetti VB\\Wexo\\Ordini";
  EXPECT_EQ(Combina(c, "Form\\frmOrdini.frm"), "C:\\Progetti VB\\Wexo\\Ordini\\Form\\frmOrdini.frm");
  EXPECT_EQ(Combina(c, "..\\Comuni\\modComune.bas"), "C:\\Progetti VB\\Wexo\\Comuni\\modComune.bas");
  EXPECT_EQ(Combina(c, ".\\a/b.cls"), "C:\\Progetti VB\\Wexo\\Ordini\\a\\b.cls");
  EXPECT_EQ(Combina(c, "..\\..\\..\\..\\..\\x.dll"), "C:\\x.dll");  // never above the drive
  EXPECT_EQ(Combina(c, "\\Compat\\x.dll"), "C:\\Compat\\x.dll");
  EXPECT_EQ(Combina(c, "d:\\Compat\\x.dll"), "d:\\Compat\\x.dll");
  EXPECT_EQ(CartellaDi("C:\\Progetti VB\\Wexo\\Ordini\\Ordini.vbp"), c);
  EXPECT_EQ(CartellaDi("Ordini.vbp"), "");
}

TEST(ProgettoVbp, ReadsTheKeysABuildNeeds) {
  const auto p = LeggiProgetto(
      "Type=OleDll\r\n"
      "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE Automation\r\n"
      "Form=Form\\frmA.frm\r\n"
      "Module=modA; modA.bas\r\n"
      "Class=clsA;clsA.cls\r\n"
      "Module=modB; Moduli\\mod\xE0.bas\r\n"
      "ExeName32=\"Anagrafe.dll\"\r\n"
      "CompatibleMode=\"2\"\r\n"
      "CompatibleExe32=\"..\\Compat\\Anagrafe.dll\"\r\n"
      "VersionCompanyName=\"Form=no\"\r\n"
      "\r\n"
      "[MS Transaction Server]\r\n"
      "Form=nella sezione.frm\r\n");
  EXPECT_EQ(p.tipo, "OleDll");
  EXPECT_EQ(p.membri, (std::vector<std::string>{"Form\\frmA.frm", "modA.bas", "clsA.cls", "Moduli\\mod\xC3\xA0.bas"}));
  EXPECT_EQ(p.nomeEseguibile, "Anagrafe.dll");
  EXPECT_EQ(p.modoCompatibilita, "2");
  EXPECT_EQ(p.fileCompatibile, "..\\Compat\\Anagrafe.dll");
}

TEST(ProgettoVbp, KeysAreExactAndLfLinesCountToo) {
  const auto p = LeggiProgetto("type=OleDll\nCompatibleMode=0\n ExeName32=x.dll\n");
  EXPECT_FALSE(p.tipo);
  EXPECT_EQ(p.modoCompatibilita, "0");
  EXPECT_FALSE(p.nomeEseguibile);
}

}  // namespace
}  // namespace cw::vb6
