// What the maker refuses, what a rebuild removes and what it leaves alone,
// and the programs it installs.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "argomenti.h"
#include "catalogue/catalogo.h"
#include "errore_sandbox.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using sandbox::CreaSandbox;
using sandbox::ErroreSandbox;
using sandbox::OpzioniSandbox;

// A small suite of its own: the maker takes any catalogue, skip kinds too.
CatalogoComponenti Piccolo() {
  return CatalogoComponenti({
      {"C:\\Progetti VB\\Wexo\\Base", "Base.vbp", "C:\\Orbalis\\Componenti", "dll-skipcompile", "Base.dll"},
      {"C:\\Progetti VB\\Wexo\\Ordini\\OrdiniDati", "OrdiniDati.vbp", "C:\\Orbalis\\Componenti", "dll",
       "OrdiniDati.dll"},
      {"C:\\Progetti VB\\Wexo\\Ordini", "Ordini.vbp", "C:\\Orbalis\\Componenti", "exe", "Ordini.exe"},
      {"C:\\Progetti VB\\Wexo\\Banco", "Banco.vbp", "C:\\Orbalis\\Componenti", "app", "Banco Vendite.exe"},
  });
}

const fs::path kVbpOrdini = "drive_c/Progetti VB/Wexo/Ordini/Ordini.vbp";

TEST(CreaSandbox, RifiutaUnaCartellaNonVuotaSenzaToccarla) {
  test::CartellaTemporanea t;
  test::ScriviFile(t.Dir() / "appunti.txt", "mio");
  EXPECT_THROW(CreaSandbox(t.Dir(), Piccolo(), {}), ErroreSandbox);
  // A rebuild is refused too: the folder holds no sandbox.
  OpzioniSandbox ricostruisci;
  ricostruisci.ricostruisci = true;
  EXPECT_THROW(CreaSandbox(t.Dir(), Piccolo(), ricostruisci), ErroreSandbox);
  EXPECT_EQ(std::distance(fs::directory_iterator(t.Dir()), fs::directory_iterator()), 1);
  EXPECT_EQ(test::LeggiFile(t.Dir() / "appunti.txt"), "mio");

  // A marker that is a link does not make a sandbox.
  test::CartellaTemporanea u;
  test::ScriviFile(u.Dir() / "vero", "x");
  fs::create_symlink(u.Dir() / "vero", u.Dir() / sandbox::kMarcatore);
  fs::create_directory(u.Dir() / "drive_c");
  EXPECT_THROW(CreaSandbox(u.Dir(), Piccolo(), ricostruisci), ErroreSandbox);
  EXPECT_TRUE(fs::exists(u.Dir() / "drive_c"));
}

TEST(CreaSandbox, UnaSandboxEsistenteVuoleRebuild) {
  test::CartellaTemporanea t;
  CreaSandbox(t.Dir(), Piccolo(), {});
  test::ScriviFile(t.Dir() / kVbpOrdini, "cambiato");
  EXPECT_THROW(CreaSandbox(t.Dir(), Piccolo(), {}), ErroreSandbox);
  EXPECT_EQ(test::LeggiFile(t.Dir() / kVbpOrdini), "cambiato");
  // An existing empty folder, or a missing one, is simply used.
  fs::create_directory(t.Dir() / "vuota");
  EXPECT_NO_THROW(CreaSandbox(t.Dir() / "vuota", Piccolo(), {}));
  EXPECT_NO_THROW(CreaSandbox(t.Dir() / "nuova" / "sotto", Piccolo(), {}));
  EXPECT_TRUE(sandbox::ESandbox(t.Dir() / "nuova" / "sotto"));
}

TEST(CreaSandbox, RebuildTogliSoloCioCheHaFattoESenzaSeguireLink) {
  test::CartellaTemporanea t, fuori;
  const fs::path dir = t.Dir() / "prefisso";
  CreaSandbox(dir, Piccolo(), {});
  const std::string originale = test::LeggiFile(dir / kVbpOrdini);

  // What the user and the tool left behind.
  test::ScriviFile(dir / kVbpOrdini, "rovinato");
  test::ScriviFile(dir / "drive_c/Orbalis/Componenti/Ordini.exe", "costruito");
  test::ScriviFile(dir / "note.txt", "mie");
  test::ScriviFile(fuori.Dir() / "prezioso.txt", "da non toccare");
  fs::create_directory_symlink(fuori.Dir(), dir / "drive_c/Progetti VB/Wexo/fuori");
  fs::create_symlink(fuori.Dir() / "prezioso.txt", dir / "drive_d/QuilApp/prezioso.txt");
  // A read-only folder and file, as a test of the tool may leave them.
  const fs::path bloccata = dir / "drive_c/Progetti VB/Wexo/Ordini/Form";
  fs::create_directories(bloccata);
  test::ScriviFile(bloccata / "frmVecchio.frm", "x");
  fs::permissions(bloccata / "frmVecchio.frm", fs::perms::owner_read);
  fs::permissions(bloccata, fs::perms::owner_read | fs::perms::owner_exec);

  OpzioniSandbox ricostruisci;
  ricostruisci.ricostruisci = true;
  CreaSandbox(dir, Piccolo(), ricostruisci);

  EXPECT_EQ(test::LeggiFile(dir / kVbpOrdini), originale);
  EXPECT_FALSE(fs::exists(dir / "drive_c/Orbalis/Componenti/Ordini.exe"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "drive_c/Progetti VB/Wexo/fuori")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "drive_d/QuilApp/prezioso.txt")));
  EXPECT_EQ(test::LeggiFile(fuori.Dir() / "prezioso.txt"), "da non toccare");
  EXPECT_EQ(test::LeggiFile(dir / "note.txt"), "mie");
  EXPECT_FALSE(fs::exists(bloccata / "frmVecchio.frm"));
  EXPECT_EQ(fs::read_symlink(dir / "dosdevices" / "c:"), "../drive_c");
}

TEST(CreaSandbox, RebuildNonEntraInUnaUnitaCheELink) {
  test::CartellaTemporanea t, fuori;
  const fs::path dir = t.Dir() / "prefisso";
  CreaSandbox(dir, Piccolo(), {});
  test::ScriviFile(fuori.Dir() / "prezioso.txt", "da non toccare");
  fs::remove_all(dir / "drive_d");
  fs::create_directory_symlink(fuori.Dir(), dir / "drive_d");
  OpzioniSandbox ricostruisci;
  ricostruisci.ricostruisci = true;
  CreaSandbox(dir, Piccolo(), ricostruisci);
  EXPECT_EQ(test::LeggiFile(fuori.Dir() / "prezioso.txt"), "da non toccare");
  EXPECT_FALSE(fs::is_symlink(dir / "drive_d"));
  EXPECT_TRUE(fs::is_directory(dir / "drive_d" / "QuilApp"));
}

TEST(CreaSandbox, IlPiccoloCatalogoHaIsuoiProgetti) {
  test::CartellaTemporanea t;
  const auto r = CreaSandbox(t.Dir(), Piccolo(), {});
  EXPECT_EQ(r.progetti, 4);
  const std::string base = test::LeggiFile(t.Dir() / "drive_c/Progetti VB/Wexo/Base/Base.vbp");
  EXPECT_EQ(base.rfind("Type=OleDll\r\n", 0), 0u);
  EXPECT_NE(base.find("ExeName32=\"Base.dll\"\r\n"), std::string::npos);
  const std::string banco = test::LeggiFile(t.Dir() / "drive_c/Progetti VB/Wexo/Banco/Banco.vbp");
  EXPECT_NE(banco.find("ExeName32=\"Banco Vendite.exe\"\r\n"), std::string::npos);
  // The server references the library in its folder, built before it.
  const std::string ordini = test::LeggiFile(t.Dir() / kVbpOrdini);
  EXPECT_NE(ordini.find("#C:\\Orbalis\\Componenti\\OrdiniDati.dll#"), std::string::npos);
}

TEST(CreaSandbox, UnPercorsoCheEsceDallaSandboxERifiutato) {
  test::CartellaTemporanea t, fuori;
  CatalogoComponenti cattivo({{"C:\\Progetti VB\\Wexo\\..\\..\\..\\..\\" + fuori.Dir().filename().string(), "X.vbp",
                               "C:\\Orbalis\\Componenti", "dll", "X.dll"}});
  EXPECT_THROW(CreaSandbox(t.Dir() / "p", cattivo, {}), ErroreSandbox);
  CatalogoComponenti altraUnita({{"E:\\Wexo\\X", "X.vbp", "C:\\Orbalis\\Componenti", "dll", "X.dll"}});
  EXPECT_THROW(CreaSandbox(t.Dir() / "q", altraUnita, {}), ErroreSandbox);
  EXPECT_TRUE(fs::is_empty(fuori.Dir()));
}

TEST(CreaSandbox, InstallaIProgrammiAiLoroPercorsiWindows) {
  test::CartellaTemporanea t, host;
  test::ScriviFile(host.Dir() / "vb6", "#!/bin/sh\nexit 0\n");
  fs::permissions(host.Dir() / "vb6", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  test::ScriviFile(host.Dir() / "visore", "visore");
  fs::permissions(host.Dir() / "visore", fs::perms::owner_all);

  OpzioniSandbox opzioni;
  opzioni.installa = {{sandbox::kVb6, host.Dir() / "vb6"},
                      // Another letter case finds the folder the maker made.
                      {"C:\\WINDOWS\\notepad.exe", host.Dir() / "visore"}};
  const fs::path dir = t.Dir() / "p";
  CreaSandbox(dir, Piccolo(), opzioni);
  const fs::path vb6 = dir / "drive_c/Programmi/Microsoft Visual Studio/VB98/VB6.EXE";
  EXPECT_EQ(test::LeggiFile(vb6), "#!/bin/sh\nexit 0\n");
  EXPECT_EQ(fs::status(vb6).permissions() & fs::perms::all,
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_EQ(test::LeggiFile(dir / "drive_c/Windows/notepad.exe"), "visore");
  EXPECT_FALSE(fs::exists(dir / "drive_c/WINDOWS"));

  // Later, into the existing sandbox.
  sandbox::InstallaProgrammi(dir, {{"D:\\QuilApp\\Strumento.exe", host.Dir() / "visore"}});
  EXPECT_EQ(test::LeggiFile(dir / "drive_d/QuilApp/Strumento.exe"), "visore");
  EXPECT_THROW(sandbox::InstallaProgrammi(dir, {{"C:\\Windows\\..\\..\\x.exe", host.Dir() / "visore"}}), ErroreSandbox);
  EXPECT_THROW(sandbox::InstallaProgrammi(dir, {{"C:\\Windows\\x.exe", host.Dir() / "manca"}}), ErroreSandbox);
  EXPECT_THROW(sandbox::InstallaProgrammi(host.Dir(), {{"C:\\Windows\\x.exe", host.Dir() / "visore"}}), ErroreSandbox);
  // A link to the host file, for a program that looks beside its real path;
  // a copy put there later replaces the link and leaves its target alone.
  sandbox::InstallaProgrammi(dir, {{sandbox::kVb6, host.Dir() / "vb6", true}});
  EXPECT_EQ(fs::read_symlink(vb6), fs::absolute(host.Dir() / "vb6"));
  sandbox::InstallaProgrammi(dir, {{sandbox::kVb6, host.Dir() / "visore"}});
  EXPECT_FALSE(fs::is_symlink(vb6));
  EXPECT_EQ(test::LeggiFile(vb6), "visore");
  EXPECT_EQ(test::LeggiFile(host.Dir() / "vb6"), "#!/bin/sh\nexit 0\n");
  // A link inside the sandbox is not followed out of it.
  fs::create_directory_symlink(host.Dir(), dir / "drive_c/Windows/fuori");
  EXPECT_THROW(sandbox::InstallaProgrammi(dir, {{"C:\\Windows\\fuori\\x.exe", host.Dir() / "visore"}}), ErroreSandbox);
  EXPECT_FALSE(fs::exists(host.Dir() / "x.exe"));
}

TEST(Argomenti, LaRigaDiComando) {
  using sandbox::AnalizzaArgomenti;
  using sandbox::ErroreUso;
  auto a = AnalizzaArgomenti({"/tmp/s", "--rebuild", "--install", "VB6.EXE=/bin/vb6", "--install=notepad.exe=/bin/n=1",
                              "--install", "D:\\QuilApp\\X.exe=/x"});
  EXPECT_EQ(a.dir, "/tmp/s");
  EXPECT_TRUE(a.opzioni.ricostruisci);
  ASSERT_EQ(a.opzioni.installa.size(), 3u);
  EXPECT_EQ(a.opzioni.installa[0].percorsoWindows, sandbox::kVb6);
  EXPECT_EQ(a.opzioni.installa[0].origine, "/bin/vb6");
  EXPECT_EQ(a.opzioni.installa[1].percorsoWindows, sandbox::kNotepad);
  EXPECT_EQ(a.opzioni.installa[1].origine, "/bin/n=1");
  EXPECT_EQ(a.opzioni.installa[2].percorsoWindows, "D:\\QuilApp\\X.exe");
  EXPECT_FALSE(a.opzioni.installa[0].collega);
  auto l = AnalizzaArgomenti({"d", "--link", "VB6.EXE=/bin/vb6", "--link=C:\\Windows\\notepad.exe=/bin/n"});
  ASSERT_EQ(l.opzioni.installa.size(), 2u);
  EXPECT_TRUE(l.opzioni.installa[0].collega);
  EXPECT_TRUE(l.opzioni.installa[1].collega);
  EXPECT_EQ(l.opzioni.installa[1].percorsoWindows, sandbox::kNotepad);
  EXPECT_FALSE(AnalizzaArgomenti({"d"}).opzioni.ricostruisci);
  EXPECT_TRUE(AnalizzaArgomenti({"--help"}).aiuto);
  EXPECT_TRUE(AnalizzaArgomenti({"--version"}).versione);
  EXPECT_TRUE(AnalizzaArgomenti({"d", "--install-only", "--install", "vb6.exe=/x"}).soloInstalla);
  const auto w = AnalizzaArgomenti({"d", "--wine", "--windows", "/w"});
  EXPECT_TRUE(w.wine);
  EXPECT_EQ(w.cartellaWindows, "/w");
  EXPECT_EQ(w.arch, "");
  EXPECT_EQ(AnalizzaArgomenti({"d", "--wine", "--arch", "x64"}).arch, "x64");
  EXPECT_EQ(AnalizzaArgomenti({"d", "--wine", "--arch=x86"}).arch, "x86");

  EXPECT_THROW(AnalizzaArgomenti({}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "b"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--rebiuld"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--install"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--install", "VB6.EXE"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--install", "programma.exe=/x"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--install", "VB6.EXE="}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--link"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--install-only"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--install-only", "--rebuild", "--install", "VB6.EXE=/x"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--windows", "/w"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--wine", "--windows"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--wine", "--install-only", "--install", "VB6.EXE=/x"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--arch", "x64"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--wine", "--arch"}), ErroreUso);
  EXPECT_THROW(AnalizzaArgomenti({"a", "--wine", "--arch", "arm64"}), ErroreUso);
}

// A sandbox that fails half way (here: no stand-ins for --wine) leaves the
// folder as it found it, so the next try needs no --rebuild.
TEST(CreaSandbox, UnaSandboxFallitaNonLasciaNulla) {
  test::CartellaTemporanea t;
  const fs::path vuota = t.Dir() / "vuota";
  fs::create_directory(vuota);
  for (const fs::path& dir : {t.Dir() / "nuova", vuota}) {
    EXPECT_THROW(CreaSandbox(dir, Piccolo(), {.programmiWindows = t.Dir() / "nessuna"}), ErroreSandbox) << dir;
    EXPECT_EQ(fs::exists(dir), dir == vuota) << dir;
    if (dir == vuota) {
      EXPECT_TRUE(fs::is_empty(dir));
    }
    EXPECT_NO_THROW(CreaSandbox(dir, Piccolo(), {})) << dir;
  }
}

}  // namespace
}  // namespace cw
