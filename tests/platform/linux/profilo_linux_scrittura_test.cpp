// Writing private-profile files: where the line goes, and that nothing else
// in the file moves.

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "platform/linux/profilo_linux.h"
#include "settings/file_profilo.h"

namespace cw {
namespace {

using test::FileProfilo;
using namespace std::string_literals;

// The file after one write on the given content.
std::string DopoScrittura(std::string_view prima, std::string_view sezione, std::string_view chiave,
                          std::string_view valore) {
  FileProfilo f;
  f.Metti(prima);
  EXPECT_TRUE(f.Scrivi(sezione, chiave, valore));
  return f.Contenuto();
}

TEST(ProfiloScrittura, NewFileAndMissingFolder) {
  FileProfilo f;
  EXPECT_TRUE(f.Scrivi("Versione", "Principale", "1"));
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nPrincipale=1\r\n");

  const std::string altrove = (f.Cartella() / "manca" / "WexoUty.ini").string();
  EXPECT_FALSE(ProfiloLinux().WritePrivateProfileStringA(altrove, "Versione", "Principale", "1"));
  EXPECT_FALSE(std::filesystem::exists(f.Cartella() / "manca"));
}

TEST(ProfiloScrittura, NewSectionAtTheEnd) {
  EXPECT_EQ(DopoScrittura("[Altro]\r\nX=1", "Versione", "Principale", "1"),
            "[Altro]\r\nX=1\r\n[Versione]\r\nPrincipale=1\r\n");
  EXPECT_EQ(DopoScrittura("[Altro]\r\nX=1\r\n\r\n", "Versione", "A", "1"),
            "[Altro]\r\nX=1\r\n\r\n[Versione]\r\nA=1\r\n");
  EXPECT_EQ(DopoScrittura("[Altro]\nX=1\n", "Versione", "A", "1"), "[Altro]\nX=1\n[Versione]\r\nA=1\r\n");
  EXPECT_EQ(DopoScrittura("", "Versione", "A", "1"), "[Versione]\r\nA=1\r\n");
  // A section seen only as lines before any header is still missing.
  EXPECT_EQ(DopoScrittura("A=0\r\n", "Versione", "A", "1"), "A=0\r\n[Versione]\r\nA=1\r\n");
}

TEST(ProfiloScrittura, NewKeyAfterTheLastKeyLineOfTheFirstBlock) {
  EXPECT_EQ(DopoScrittura("[Versione]\r\n;nota\r\nB=1\r\n;fine\r\n", "Versione", "C", "2"),
            "[Versione]\r\n;nota\r\nB=1\r\nC=2\r\n;fine\r\n");
  EXPECT_EQ(DopoScrittura("[Versione]\r\nB=1\r\n\r\n[Altro]\r\n", "versione", "C", "2"),
            "[Versione]\r\nB=1\r\nC=2\r\n\r\n[Altro]\r\n");
  EXPECT_EQ(DopoScrittura("[Versione]\r\nB=1", "Versione", "C", "2"), "[Versione]\r\nB=1\r\nC=2\r\n");
  EXPECT_EQ(DopoScrittura("[Versione]\nB=1\n", "Versione", "C", "2"), "[Versione]\nB=1\nC=2\r\n");
  // No key lines yet: right after the header.
  EXPECT_EQ(DopoScrittura("[Versione]\r\n;nota\r\n\r\n", "Versione", "C", "2"), "[Versione]\r\nC=2\r\n;nota\r\n\r\n");
  EXPECT_EQ(DopoScrittura("[Versione]", "Versione", "C", "2"), "[Versione]\r\nC=2\r\n");
  // Duplicate sections: the first block takes it.
  EXPECT_EQ(DopoScrittura("[Versione]\r\nA=1\r\n[Versione]\r\nB=1\r\n", "Versione", "B", "2"),
            "[Versione]\r\nA=1\r\nB=2\r\n[Versione]\r\nB=1\r\n");
}

TEST(ProfiloScrittura, SeveralNewKeysInCallOrder) {
  FileProfilo f;
  f.Metti("[Versione]\r\n;fine\r\n");
  for (const char* chiave : {"IncrementoAutomatico", "Principale", "Secondario", "Revisione"})
    EXPECT_TRUE(f.Scrivi("Versione", chiave, "1"));
  EXPECT_EQ(f.Contenuto(),
            "[Versione]\r\nIncrementoAutomatico=1\r\nPrincipale=1\r\nSecondario=1\r\nRevisione=1\r\n;fine\r\n");
}

TEST(ProfiloScrittura, ExistingKeyReplacedInPlace) {
  // The file's spelling of the key stays; the blanks around "=" go.
  EXPECT_EQ(DopoScrittura("[Versione]\r\n  principale = 2 \r\nX=1\r\n", "Versione", "PRINCIPALE", "3"),
            "[Versione]\r\nprincipale=3\r\nX=1\r\n");
  EXPECT_EQ(DopoScrittura("[Versione]\r\nA=1\r\nA=2\r\n", "Versione", "A", "3"), "[Versione]\r\nA=3\r\nA=2\r\n");
  EXPECT_EQ(DopoScrittura("[Versione]\r\nPrincipale=1", "Versione", "PRINCIPALE", "2"),
            "[Versione]\r\nPrincipale=2\r\n");
  // Only the replaced line gets CR LF.
  EXPECT_EQ(DopoScrittura("[Versione]\nA=1\rB=2\n", "Versione", "A", "9"), "[Versione]\nA=9\r\nB=2\n");
}

TEST(ProfiloScrittura, EveryOtherByteStays) {
  const std::string testa = "\0garbage\xFF\r\nA=1\n"s;
  const std::string coda = "; comment \t\r\n\r\n#x\rnot a key\r\n[Altro]\r\nA = 5\0\r\n"s;
  EXPECT_EQ(DopoScrittura(testa + "[Versione]\r\nA=1\r\n" + coda, "Versione", "A", "2"),
            testa + "[Versione]\r\nA=2\r\n" + coda);
  EXPECT_EQ(DopoScrittura(testa + "[Versione]\r\nA=1\r\n" + coda, "Versione", "B", "2"),
            testa + "[Versione]\r\nA=1\r\nB=2\r\n" + coda);
}

TEST(ProfiloScrittura, ValuesAreWrittenVerbatim) {
  FileProfilo f;
  EXPECT_TRUE(f.Scrivi("Versione", "A", " v "));
  EXPECT_TRUE(f.Scrivi("Versione", "B", "x=y;z#\"q\""));
  EXPECT_TRUE(f.Scrivi("Versione", "C", "\"  x  \""));
  EXPECT_TRUE(f.Scrivi("Versione", "D", ""));
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nA= v \r\nB=x=y;z#\"q\"\r\nC=\"  x  \"\r\nD=\r\n");
  EXPECT_EQ(f.Leggi("Versione", "A"), "v");
  EXPECT_EQ(f.Leggi("Versione", "B"), "x=y;z#\"q\"");
  EXPECT_EQ(f.Leggi("Versione", "C"), "  x  ");
  EXPECT_EQ(f.Leggi("Versione", "D"), "");
  // Names lose their outer spaces, as in a lookup; a value ends at a NUL.
  EXPECT_TRUE(f.Scrivi(" Altro ", " E ", "1\0rest"s));
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nA= v \r\nB=x=y;z#\"q\"\r\nC=\"  x  \"\r\nD=\r\n[Altro]\r\nE=1\r\n");
}

TEST(ProfiloScrittura, UnsafeArgumentsWriteNothing) {
  FileProfilo f;
  const std::string prima = "[Versione]\r\nA=1\r\n";
  f.Metti(prima);
  EXPECT_FALSE(f.Scrivi("Versione", "A", "1\r\n[Altro]"));
  EXPECT_FALSE(f.Scrivi("Versione", "A", "x\ry"));
  EXPECT_FALSE(f.Scrivi("Versione", "A\n", "1"));
  EXPECT_FALSE(f.Scrivi("Ver\nsione", "A", "1"));
  EXPECT_FALSE(f.Scrivi("Ver]sione", "A", "1"));
  EXPECT_FALSE(f.Scrivi("Versione", "A=B", "1"));
  EXPECT_FALSE(f.Scrivi("Versione", ";A", "1"));
  EXPECT_FALSE(f.Scrivi("Versione", "[A", "1"));
  EXPECT_FALSE(f.Scrivi("Versione", "A\t", "1"));
  EXPECT_FALSE(f.Scrivi("\tVersione", "A", "1"));
  EXPECT_EQ(f.Contenuto(), prima);

  FileProfilo nuovo;
  EXPECT_FALSE(nuovo.Scrivi("Versione", "A", "a\nb"));
  EXPECT_FALSE(nuovo.Esiste());
}

TEST(ProfiloScrittura, ReadOnlyFileIsLeftAloneEvenForRoot) {
  FileProfilo f;
  f.Metti("[Versione]\r\nA=1\r\n");
  std::filesystem::permissions(f.Percorso(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  EXPECT_FALSE(f.Scrivi("Versione", "A", "2"));
  EXPECT_FALSE(f.Scrivi("Nuova", "B", "2"));
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nA=1\r\n");
  EXPECT_EQ(f.Modo(), 0440u);
}

TEST(ProfiloScrittura, ReplacementKeepsPermissionsAndLeavesNoTemporaryFile) {
  FileProfilo f;
  f.Metti("[Versione]\r\nA=1\r\n");
  std::filesystem::permissions(f.Percorso(), static_cast<std::filesystem::perms>(0640));
  EXPECT_TRUE(f.Scrivi("Versione", "A", "2"));
  EXPECT_EQ(f.Modo(), 0640u);
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nA=2\r\n");
  size_t voci = 0;
  for ([[maybe_unused]] const auto& voce : std::filesystem::directory_iterator(f.Cartella())) ++voci;
  EXPECT_EQ(voci, 4u);  // the file beside the prefix's own three folders
}

// A save killed half way leaves its temporary file: the next save removes
// those of a process that is gone and the old ones, and nothing else.
TEST(ProfiloScrittura, TheNextSaveRemovesTheTemporaryFilesOfAKilledOne) {
  const pid_t finito = ::fork();
  if (finito == 0) ::_exit(0);
  ASSERT_GT(finito, 0);
  ::waitpid(finito, nullptr, 0);
  const std::string morto = std::to_string(finito), vivo = std::to_string(::getppid()),
                    proprio = std::to_string(::getpid());
  const struct {
    std::string nome;
    bool cartella;
    long eta;  // seconds since it was last written
    bool tolto;
  } casi[] = {
      {".WexoUty.ini." + morto + "-123456-0.tmp", false, 0, true},
      {".WexoUty.ini." + vivo + "-123456-0.tmp", false, 0, false},     // a save under way
      {".WexoUty.ini." + vivo + "-123456-1.tmp", false, 3600, true},   // no save takes an hour
      {".WexoUty.ini." + proprio + "-123456-2.tmp", false, 0, false},  // this process's own
      {".WexoUty.ini." + morto + "-123456-3.tmp", true, 0, false},     // a folder is none of ours
      {".Altro.ini." + morto + "-123456-0.tmp", false, 0, false},      // another file's
      {".WexoUty.ini." + morto + "-123456.tmp", false, 0, false},
      {".WexoUty.ini.x" + morto + "-1-0.tmp", false, 3600, false},
      {"WexoUty.ini." + morto + "-1-0.tmp", false, 3600, false},
  };
  FileProfilo f;
  f.Metti("[Versione]\r\nA=1\r\n");
  for (const auto& c : casi) {
    const auto p = f.Cartella() / c.nome;
    if (c.cartella)
      std::filesystem::create_directory(p);
    else
      std::ofstream(p) << "[Versione]\r\nA=";
    std::filesystem::last_write_time(p, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(c.eta));
  }
  EXPECT_TRUE(f.Scrivi("Versione", "A", "2"));
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nA=2\r\n");
  for (const auto& c : casi) EXPECT_EQ(std::filesystem::exists(f.Cartella() / c.nome), !c.tolto) << c.nome;
}

TEST(ProfiloScrittura, ThroughALinkTheTargetIsRewritten) {
  FileProfilo f;
  const auto vero = f.Cartella() / "vero.ini";
  std::ofstream(vero, std::ios::binary) << "[Versione]\r\nA=1\r\n";
  std::filesystem::create_symlink(vero, f.Percorso());
  EXPECT_TRUE(f.Scrivi("Versione", "A", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(f.Percorso()));
  EXPECT_EQ(f.Contenuto(), "[Versione]\r\nA=2\r\n");
}

TEST(ProfiloScrittura, AFolderInTheFilesPlaceIsNotWritten) {
  FileProfilo f;
  std::filesystem::create_directory(f.Percorso());
  EXPECT_FALSE(f.Scrivi("Versione", "A", "1"));
  EXPECT_TRUE(std::filesystem::is_directory(f.Percorso()));
}

TEST(ProfiloScrittura, Utf16FileStaysUtf16) {
  const auto utf16 = [](std::u16string_view testo) {
    std::string out = "\xFF\xFE";
    for (const char16_t c : testo) {
      out += static_cast<char>(c & 0xFF);
      out += static_cast<char>(c >> 8);
    }
    return out;
  };
  EXPECT_EQ(DopoScrittura(utf16(u"[Versione]\r\nA=1\r\n;\u2603\r\n"), "Versione", "A", "\xE0\x80"),
            utf16(u"[Versione]\r\nA=\u00E0\u20AC\r\n;\u2603\r\n"));
  EXPECT_EQ(DopoScrittura(utf16(u"[Altro]\r\nX=1"), "Versione", "B", "2"),
            utf16(u"[Altro]\r\nX=1\r\n[Versione]\r\nB=2\r\n"));
}

TEST(ProfiloScrittura, WrittenValuesReadBack) {
  FileProfilo f;
  f.Metti("; settings\r\n[Versione]\r\nPrincipale = 1\r\n");
  EXPECT_TRUE(f.Scrivi("Versione", "Principale", "4"));
  EXPECT_TRUE(f.Scrivi("Versione", "NomeSocieta", "Soc\xE0"));
  EXPECT_TRUE(f.Scrivi("Versione", "Principale", "5"));
  EXPECT_TRUE(f.Scrivi("Versione", "NomeSocieta", "Soc\xE0"));  // unchanged content: nothing to do
  EXPECT_EQ(f.Leggi("Versione", "Principale"), "5");
  EXPECT_EQ(f.Leggi("Versione", "NomeSocieta"), "Soc\xE0");
  EXPECT_EQ(f.Contenuto(), "; settings\r\n[Versione]\r\nPrincipale=5\r\nNomeSocieta=Soc\xE0\r\n");
}

}  // namespace
}  // namespace cw

namespace cw {
namespace {

TEST(ProfiloCancellazione, OnlyTheKeysLineGoes) {
  const struct {
    const char* prima;
    const char* dopo;  // nullptr: no file
  } casi[] = {
      {"[Versione]\r\nA=1\r\nUltimaRigaFallita=3\r\nB=2\r\n", "[Versione]\r\nA=1\r\nB=2\r\n"},
      {"[versione]\r\n ultimarigafallita = 3\r\n", "[versione]\r\n"},         // names ignore case and blanks
      {"[Versione]\r\nA=1\r\nUltimaRigaFallita=3", "[Versione]\r\nA=1\r\n"},  // the last line, without its end
      {"[Versione]\r\nA=1\r\n[Altro]\r\nUltimaRigaFallita=3\r\n",
       "[Versione]\r\nA=1\r\n[Altro]\r\nUltimaRigaFallita=3\r\n"},
      {nullptr, nullptr},  // a missing file is not created
  };
  for (const auto& c : casi) {
    test::FileProfilo f;
    if (c.prima) f.Metti(c.prima);
    EXPECT_TRUE(ProfiloLinux().CancellaChiaveProfilo(f.Percorso(), "Versione", "UltimaRigaFallita"));
    EXPECT_EQ(f.Esiste(), c.dopo != nullptr);
    if (c.dopo) {
      EXPECT_EQ(f.Contenuto(), c.dopo);
    }
  }
  test::FileProfilo solaLettura;
  solaLettura.Metti("[Versione]\r\nUltimaRigaFallita=3\r\n");
  ::chmod(solaLettura.Percorso().c_str(), 0444);
  EXPECT_FALSE(ProfiloLinux().CancellaChiaveProfilo(solaLettura.Percorso(), "Versione", "UltimaRigaFallita"));
  EXPECT_EQ(solaLettura.Contenuto(), "[Versione]\r\nUltimaRigaFallita=3\r\n");
}

}  // namespace
}  // namespace cw
