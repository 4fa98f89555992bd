#include "platform/windows/filesystem_win32.h"

#include <gtest/gtest.h>
#include <windows.h>
#undef CopyFile
#undef DeleteFile

#include <algorithm>
#include <functional>
#include <vector>

#include "base/errors.h"
#include "platform/windows/cartella_prova.h"
#include "platform/windows/testo_wide_win32.h"
#include "support/errore.h"

namespace cw {
namespace {

using prova::CartellaProva;
using test::ErroreDi;

class FileSystemWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    Scrivi("file.txt", "abc");
    Scrivi("ro.txt", "sola lettura");
    SolaLettura("ro.txt", true);
    CreateDirectoryW(Wide(dir_ / "sub").c_str(), nullptr);
  }
  void Scrivi(const std::string& nome, const std::string& byte) {
    auto s = fso_.OpenTextFile(dir_ / nome, IOMode::ForWriting, true);
    s->Write(byte);
    s->Close();
  }
  std::string Leggi(const std::string& nome) { return fso_.OpenTextFile(dir_ / nome, IOMode::ForReading)->ReadAll(); }
  void SolaLettura(const std::string& nome, bool si) {
    SetFileAttributesW(Wide(dir_ / nome).c_str(), si ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
  }
  bool ESolaLettura(const std::string& nome) {
    return (GetFileAttributesW(Wide(dir_ / nome).c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
  }

  CartellaProva dir_;
  FileSystemWin32 fso_;
};

// Every failure raises the number the Linux service raises for the same case.
TEST_F(FileSystemWin32Test, OgniFallimentoDaIlSuoNumero) {
  const std::string f = dir_ / "file.txt", ro = dir_ / "ro.txt", sub = dir_ / "sub", manca = dir_ / "manca.txt",
                    senzaCartella = dir_ / "nessuna\\x.txt";
  struct Caso {
    const char* nome;
    std::function<void()> op;
    int atteso;
  };
  const std::vector<Caso> casi = {
      {"copia da file mancante", [&] { fso_.CopyFile(manca, dir_ / "c.txt"); }, kFileNonTrovato},
      {"copia da cartella mancante", [&] { fso_.CopyFile(senzaCartella, dir_ / "c.txt"); }, kPercorsoNonTrovato},
      {"copia da una cartella", [&] { fso_.CopyFile(sub, dir_ / "c.txt"); }, kErroreAccessoPercorso},
      {"copia in cartella mancante", [&] { fso_.CopyFile(f, senzaCartella); }, kPercorsoNonTrovato},
      {"copia senza sovrascrivere", [&] { fso_.CopyFile(f, ro, false); }, kFileGiaEsistente},
      {"copia su una cartella", [&] { fso_.CopyFile(f, sub); }, kErroreAccessoPercorso},
      {"copia su sola lettura", [&] { fso_.CopyFile(f, ro); }, kAutorizzazioneNegata},
      {"copia intera su sola lettura", [&] { fso_.CopyFileWhole(f, ro); }, kAutorizzazioneNegata},
      {"rinomina su sola lettura", [&] { fso_.RenameFile(f, ro); }, kAutorizzazioneNegata},
      {"cancella mancante", [&] { fso_.DeleteFile(manca); }, kFileNonTrovato},
      {"cancella in cartella mancante", [&] { fso_.DeleteFile(senzaCartella); }, kPercorsoNonTrovato},
      {"cancella una cartella", [&] { fso_.DeleteFile(sub); }, kErroreAccessoPercorso},
      {"cancella sola lettura senza forzare", [&] { fso_.DeleteFile(ro, false); }, kAutorizzazioneNegata},
      {"apre mancante", [&] { fso_.OpenTextFile(manca, IOMode::ForReading); }, kFileNonTrovato},
      {"apre una cartella", [&] { fso_.OpenTextFile(sub, IOMode::ForReading); }, kErroreAccessoPercorso},
      {"crea in cartella mancante", [&] { fso_.OpenTextFile(senzaCartella, IOMode::ForWriting, true); },
       kPercorsoNonTrovato},
      {"scrive su sola lettura", [&] { fso_.OpenTextFile(ro, IOMode::ForWriting, true); }, kAutorizzazioneNegata},
      {"modo sconosciuto", [&] { fso_.OpenTextFile(f, static_cast<IOMode>(3)); }, kChiamataNonValida},
      {"nome non valido", [&] { fso_.OpenTextFile(dir_ / "a|b.txt", IOMode::ForWriting, true); }, kNomeFileNonValido},
      {"unita' mancante", [&] { fso_.CopyFile(f, "Q:\\x.txt"); }, kPercorsoNonTrovato},
      {"elenco di un file", [&] { fso_.GetFolder(f); }, kPercorsoNonTrovato},
      {"controllo su sola lettura", [&] { fso_.CheckWritable(ro); }, kAutorizzazioneNegata},
      {"controllo in cartella mancante", [&] { fso_.CheckWritable(senzaCartella); }, kPercorsoNonTrovato},
  };
  for (const auto& c : casi) EXPECT_EQ(ErroreDi(c.op), c.atteso) << c.nome;
  // Nothing that failed touched what was there.
  EXPECT_EQ(Leggi("ro.txt"), "sola lettura");
  EXPECT_EQ(Leggi("file.txt"), "abc");
  EXPECT_FALSE(fso_.FileExists(dir_ / "c.txt"));
  EXPECT_FALSE(fso_.FileExists(dir_ / "ro.txt~"));
}

// A file another program holds without sharing is refused as Windows refuses
// it, with a permission denied; the Linux service says the same for a busy file.
TEST_F(FileSystemWin32Test, FileTenutoDaAltriENegato) {
  const HANDLE h = CreateFileW(Wide(dir_ / "file.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ErroreDi([&] { fso_.OpenTextFile(dir_ / "file.txt", IOMode::ForWriting); }), kAutorizzazioneNegata);
  EXPECT_EQ(ErroreDi([&] { fso_.OpenTextFile(dir_ / "file.txt", IOMode::ForReading); }), kAutorizzazioneNegata);
  CloseHandle(h);
}

TEST_F(FileSystemWin32Test, SolaLetturaECancellazioneForzata) {
  // A new copy of a read-only file is read-only; a replaced one becomes so.
  fso_.CopyFile(dir_ / "ro.txt", dir_ / "nuova.txt");
  EXPECT_TRUE(ESolaLettura("nuova.txt"));
  fso_.CopyFile(dir_ / "ro.txt", dir_ / "file.txt");
  EXPECT_TRUE(ESolaLettura("file.txt"));
  EXPECT_EQ(Leggi("file.txt"), "sola lettura");
  // Forced, the read-only files go.
  fso_.DeleteFile(dir_ / "nuova.txt");
  fso_.DeleteFile(dir_ / "ro.txt", true);
  EXPECT_FALSE(fso_.FileExists(dir_ / "nuova.txt"));
  EXPECT_FALSE(fso_.FileExists(dir_ / "ro.txt"));
}

// The whole copy, flushed or not, replaces the destination in one step,
// leaves nothing beside it, and can be written afterwards whatever the
// source's attribute.
TEST_F(FileSystemWin32Test, CopiaInteraSostituisceELasciaScrivibile) {
  for (auto copia : {&FileSystemWin32::CopyFileWhole, &FileSystemWin32::CopyFileWholeFlushed}) {
    Scrivi("file.txt", "abc");
    if (fso_.FileExists(dir_ / "nuova.txt")) fso_.DeleteFile(dir_ / "nuova.txt");
    (fso_.*copia)(dir_ / "ro.txt", dir_ / "file.txt");
    EXPECT_EQ(Leggi("file.txt"), "sola lettura");
    EXPECT_FALSE(ESolaLettura("file.txt"));
    EXPECT_FALSE(fso_.FileExists(dir_ / "file.txt~"));
    // A leftover of a killed copy is no obstacle.
    Scrivi("nuova.txt~", "avanzo");
    SolaLettura("nuova.txt~", true);
    (fso_.*copia)(dir_ / "file.txt", dir_ / "nuova.txt");
    EXPECT_EQ(Leggi("nuova.txt"), "sola lettura");
    EXPECT_FALSE(fso_.FileExists(dir_ / "nuova.txt~"));
    EXPECT_EQ(ErroreDi([&] { (fso_.*copia)(dir_ / "file.txt", dir_ / "ro.txt"); }), kAutorizzazioneNegata);
  }
}

TEST_F(FileSystemWin32Test, EsistenzaEdElencoDiCartella) {
  Scrivi("\xc3\xa8 accentato.txt", "x");  // UTF-8 in the program, UTF-16 on disk
  EXPECT_TRUE(fso_.FileExists(dir_ / "FILE.TXT"));
  EXPECT_FALSE(fso_.FileExists(dir_ / "sub"));
  EXPECT_TRUE(fso_.FolderExists(dir_ / "sub\\"));
  EXPECT_FALSE(fso_.FolderExists(dir_ / "file.txt"));
  EXPECT_FALSE(fso_.FileExists("Q:\\x.txt"));
  const FolderListing l = fso_.GetFolder(dir_ / "sub\\..\\");
  std::vector<std::string> nomi = l.FileNames;
  std::sort(nomi.begin(), nomi.end());
  EXPECT_EQ(nomi, (std::vector<std::string>{"file.txt", "ro.txt", "\xc3\xa8 accentato.txt"}));
  EXPECT_EQ(l.Path, dir_ / "sub\\..");
  EXPECT_EQ(l.AltreVoci, std::vector<std::string>{"sub"});
  EXPECT_EQ(fso_.GetFolder("C:\\").Path, "C:\\");
  EXPECT_EQ(fso_.Tipo(dir_ / "file.txt"), TipoVoce::File);
  EXPECT_EQ(fso_.Tipo(dir_ / "sub"), TipoVoce::Cartella);
  EXPECT_EQ(fso_.Tipo(dir_ / "manca.txt"), TipoVoce::Nessuna);
}

// Lines end at CR LF, LF or a lone CR; bytes pass as they are.
TEST_F(FileSystemWin32Test, RigheComeNelFlussoLinux) {
  struct Caso {
    std::string byte;
    std::vector<std::string> righe;
  };
  const std::vector<Caso> casi = {
      {"", {}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\n\n", {"", ""}},
      {"\xe9t\xe0\x81\r\n", {"\xe9t\xe0\x81"}},
  };
  for (const auto& c : casi) {
    Scrivi("righe.txt", c.byte);
    auto s = fso_.OpenTextFile(dir_ / "righe.txt", IOMode::ForReading);
    std::vector<std::string> righe;
    while (!s->AtEndOfStream()) righe.push_back(s->ReadLine());
    EXPECT_EQ(righe, c.righe) << testing::PrintToString(c.byte);
    EXPECT_EQ(ErroreDi([&] { s->ReadLine(); }), kInputOltreFine);
  }
}

TEST_F(FileSystemWin32Test, ScritturaEModiDiApertura) {
  {
    auto s = fso_.OpenTextFile(dir_ / "file.txt", IOMode::ForWriting);  // emptied at once
    EXPECT_EQ(Leggi("file.txt"), "");
    s->WriteLine("uno");
    s->Write("\xe8");
    EXPECT_EQ(ErroreDi([&] { s->ReadLine(); }), kChiamataNonValida);
    s->Close();
    EXPECT_EQ(ErroreDi([&] { s->Write("x"); }), kNomeFileNonValido);
  }
  EXPECT_EQ(Leggi("file.txt"), "uno\r\n\xe8");
  {
    auto s = fso_.OpenTextFile(dir_ / "file.txt", IOMode::ForAppending);
    s->WriteLine("");
  }  // written at destruction, as by a command that stopped
  EXPECT_EQ(Leggi("file.txt"), "uno\r\n\xe8\r\n");
  // Reading with create makes the missing file, empty.
  EXPECT_TRUE(fso_.OpenTextFile(dir_ / "nuovo.txt", IOMode::ForReading, true)->AtEndOfStream());
  EXPECT_TRUE(fso_.FileExists(dir_ / "nuovo.txt"));
  auto s = fso_.OpenTextFile(dir_ / "file.txt", IOMode::ForReading);
  EXPECT_EQ(s->ReadLine(), "uno");
  EXPECT_EQ(s->ReadAll(), "\xe8\r\n");
}

}  // namespace
}  // namespace cw

namespace cw {
namespace {

// A drive given a root of its own: its paths, in either case and with
// either separator, reach that folder; errors still name the Windows path.
TEST(FileSystemWin32Radici, UnitaSuUnaCartella) {
  prova::CartellaProva dir;
  FileSystemWin32 fso(RadiciUnita{{'C', std::filesystem::path(Wide(dir.Percorso()))}});
  try {
    fso.OpenTextFile("C:\\Progetti VB\\a.txt", IOMode::ForWriting, true);
    ADD_FAILURE() << "no folder yet";
  } catch (const ErroreRuntime& e) {
    EXPECT_EQ(e.Numero(), kPercorsoNonTrovato);
    EXPECT_EQ(e.Percorso(), "C:\\Progetti VB\\a.txt");
  }
  ASSERT_TRUE(CreateDirectoryW(Wide(dir / "Progetti VB").c_str(), nullptr));
  fso.OpenTextFile("c:/progetti vb/a.txt", IOMode::ForWriting, true)->WriteLine("x");
  EXPECT_EQ(GetFileAttributesW(Wide(dir / "Progetti VB\\a.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(fso.FolderExists("C:"));
  EXPECT_EQ(fso.GetFolder("C:\\Progetti VB\\").FileNames, std::vector<std::string>{"a.txt"});
  EXPECT_TRUE(fso.GetFolder("C:\\").FileNames.empty());
}

}  // namespace
}  // namespace cw
