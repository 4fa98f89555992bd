#include "projectfile/riscrivi_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "base/errors.h"
#include "support/fault_injecting_filesystem.h"
#include "support/suite_prova.h"

namespace cw {
namespace {

using test::SuiteProva;

class RiscriviFileTest : public ::testing::Test {
 protected:
  SuiteProva suite{{{"Alfa", "Alfa.vbp"}}};
  const std::string file = suite.Progetto(0);
  const std::string copia = file + "_tmp";
  const RegolaRiga versione = InSequenza({RegolaPrefisso("MajorVer=", "7"), RegolaPrefisso("MinorVer=", "8")});
  const RegolaRiga nulla = [](std::string r) { return r; };

  std::string Riscrivi(std::string_view prima, const RegolaRiga& regola) {
    suite.Scrivi(file, prima);
    RiscriviFile(suite.fso, file, regola);
    EXPECT_FALSE(suite.Esiste(copia));
    return suite.Leggi(file);
  }
  int Errore(const RegolaRiga& regola) {
    try {
      RiscriviFile(suite.fso, file, regola);
    } catch (const ErroreRuntime& e) {
      return e.Numero();
    }
    return 0;
  }
};

TEST_F(RiscriviFileTest, LineEndsBecomeCrLfAndNothingElseChanges) {
  EXPECT_EQ(Riscrivi("Type=OleDll\r\nName=\"A\"\r\n", versione), "Type=OleDll\r\nName=\"A\"\r\n");
  EXPECT_EQ(Riscrivi("Type=OleDll\nName=\"A\"\n", versione), "Type=OleDll\r\nName=\"A\"\r\n");
  EXPECT_EQ(Riscrivi("Type=OleDll\r\nName=\"A\"", versione), "Type=OleDll\r\nName=\"A\"\r\n");
  EXPECT_EQ(Riscrivi("a\n\r\n\nb", versione), "a\r\n\r\n\r\nb\r\n");
  EXPECT_EQ(Riscrivi("\n", versione), "\r\n");
}

TEST_F(RiscriviFileTest, AnEmptyFileStaysEmpty) { EXPECT_EQ(Riscrivi("", versione), ""); }

TEST_F(RiscriviFileTest, OnlyMatchingLinesAreReplacedOnEveryOccurrence) {
  EXPECT_EQ(Riscrivi("MajorVer=1\nmajorver=1\n MajorVer=1\nMajorVersion=1\n\nMinorVer=2\nMajorVer=3\n", versione),
            "MajorVer=7\r\nmajorver=1\r\n MajorVer=1\r\nMajorVersion=1\r\n\r\nMinorVer=8\r\nMajorVer=7\r\n");
}

TEST_F(RiscriviFileTest, AMissingKeyIsNotAdded) {
  EXPECT_EQ(Riscrivi("Type=Exe\r\nRevisionVer=3\r\n", versione), "Type=Exe\r\nRevisionVer=3\r\n");
}

TEST_F(RiscriviFileTest, ALoneCrEndsALineSoNoBytesAreLost) {
  EXPECT_EQ(Riscrivi("a\rb\nMajorVer=1\r\r\n", versione), "a\r\nb\r\nMajorVer=7\r\n\r\n");
  const RegolaRiga proprieta =
      InSequenza({RegolaPrefisso("VersionComments=", "c"), RegolaPrefisso("VersionCompanyName=", "s")});
  EXPECT_EQ(Riscrivi("VersionComments=x\rVersionCompanyName=y\rType=OleDll\r", proprieta),
            "VersionComments=c\r\nVersionCompanyName=s\r\nType=OleDll\r\n");
}

TEST_F(RiscriviFileTest, BinaryBytesSurviveByteForByte) {
  std::string binario;
  for (int i = 0; i < 4096; ++i) {
    const char b = static_cast<char>((i * 37 + 11) % 256);
    if (b != '\n' && b != '\r') binario += b;
  }
  binario += std::string("\0\x1A\0", 3);
  const std::string prima = binario + "\n" + std::string("\x1A\nMajorVer=1\n\0\0\xFF", 16);
  EXPECT_EQ(Riscrivi(prima, versione), binario + "\r\n" + std::string("\x1A\r\nMajorVer=7\r\n\0\0\xFF\r\n", 20));
}

TEST_F(RiscriviFileTest, VeryLongLinesAndLargeFiles) {
  const std::string lunga(100000, 'x');
  EXPECT_EQ(Riscrivi("MajorVer=" + lunga + "\n" + lunga, versione), "MajorVer=7\r\n" + lunga + "\r\n");

  std::string grande, atteso;
  for (int i = 0; grande.size() < 5 * 1024 * 1024; ++i) {
    const std::string riga = "Begin VB.CommandButton Command" + std::to_string(i) + std::string(40, ' ');
    grande += riga + "\n";
    atteso += riga + "\r\n";
  }
  EXPECT_EQ(Riscrivi(grande, nulla), atteso);
}

TEST_F(RiscriviFileTest, AStaleCopyIsReplacedAndRemoved) {
  suite.Scrivi(copia, "stale content from an earlier run\r\n");
  EXPECT_EQ(Riscrivi("MajorVer=1\n", versione), "MajorVer=7\r\n");
}

TEST_F(RiscriviFileTest, AMissingFileFailsBeforeAnyCopyExists) {
  EXPECT_EQ(Errore(versione), kPercorsoNonTrovato);  // no folder either
  suite.Scrivi(suite.InCartella(0, "Other.vbp"), "");
  EXPECT_EQ(Errore(versione), kFileNonTrovato);
  EXPECT_FALSE(suite.Esiste(copia));
  EXPECT_FALSE(suite.Esiste(file));
}

TEST_F(RiscriviFileTest, AReadOnlyFileIsUntouchedAndItsCopyStays) {
  suite.Scrivi(file, "MajorVer=1\n");
  suite.SolaLettura(file);
  EXPECT_EQ(Errore(versione), kAutorizzazioneNegata);
  EXPECT_EQ(suite.Leggi(file), "MajorVer=1\n");
  EXPECT_EQ(suite.Leggi(copia), "MajorVer=1\n");
}

// The rule sees every line before anything is written, so a rule that
// fails leaves the file as it was and no copy.
TEST_F(RiscriviFileTest, ARuleFailingLeavesTheFileAsItWas) {
  const std::string prima = "MajorVer=1\nName=\"A\"\nMinorVer=2\nTitle=\"T\"\n";
  suite.Scrivi(file, prima);
  int righe = 0;
  const RegolaRiga guasto = [&](std::string r) {
    if (++righe == 3) SollevaErrore(kErroreIo, "injected");
    return versione(std::move(r));
  };
  EXPECT_EQ(Errore(guasto), kErroreIo);
  EXPECT_FALSE(suite.Esiste(copia));
  EXPECT_EQ(suite.Leggi(file), prima);
}

// Each step failing in turn, through the real file service.
class PassoGuastoTest : public RiscriviFileTest {
 protected:
  const std::string prima = "MajorVer=1\nName=\"A\"\nMinorVer=2\nTitle=\"T\"\n";
  FaultInjectingFileSystem guasto{suite.fso};

  using Op = FaultInjectingFileSystem::Op;
  // The occorrenza-th call of kind op fails with errore.
  int Fallisce(Op op, int errore, long occorrenza = 1) {
    FaultInjectingFileSystem::Fault f;
    f.op = op;
    f.error = errore;
    f.occurrence = occorrenza;
    suite.Scrivi(file, prima);
    guasto.Inject(f);
    try {
      RiscriviFile(guasto, file, versione);
    } catch (const ErroreRuntime& e) {
      return e.Numero();
    }
    return 0;
  }
};

TEST_F(PassoGuastoTest, TheOperationsInTheirOrder) {
  suite.Scrivi(file, "a\nb\n");
  RiscriviFile(guasto, file, versione);
  EXPECT_EQ(
      guasto.TraceLines(),
      (std::vector<std::string>{
          "OpenTextFile " + file + " ForReading", "ReadAll " + file, "Close " + file,
          "CopyFileWholeFlushed " + file + " -> " + copia, "OpenTextFile " + copia + " ForReading",
          "OpenTextFile " + file + " ForWriting", "AtEndOfStream " + copia, "ReadLine " + copia, "WriteLine " + file,
          "AtEndOfStream " + copia, "ReadLine " + copia, "WriteLine " + file, "AtEndOfStream " + copia,
          "Close " + copia, "Close " + file, "FlushFile " + file, "DeleteFile " + copia}));
}

TEST_F(PassoGuastoTest, AFileThatWouldNotChangeIsOnlyRead) {
  for (const char* gia : {"", "a\r\nMajorVer=7\r\n", "MinorVer=8\r\n\r\n"}) {
    suite.Scrivi(file, gia);
    // A year back, in whole seconds: a time every file system keeps (Windows has no time 0).
    const auto indietro = std::chrono::time_point_cast<std::chrono::seconds>(
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365));
    std::filesystem::last_write_time(suite.prefisso.Host(file), indietro);
    guasto.ClearTrace();
    RiscriviFile(guasto, file, versione);
    EXPECT_EQ(guasto.TraceLines(),
              (std::vector<std::string>{"OpenTextFile " + file + " ForReading", "ReadAll " + file, "Close " + file}))
        << gia;
    EXPECT_EQ(std::filesystem::last_write_time(suite.prefisso.Host(file)), indietro) << gia;
  }
}

TEST_F(PassoGuastoTest, CopyFailing) {
  EXPECT_EQ(Fallisce(Op::CopyFileWholeFlushed, kErroreIo), kErroreIo);
  EXPECT_EQ(suite.Leggi(file), prima);
  EXPECT_FALSE(suite.Esiste(copia));
}

TEST_F(PassoGuastoTest, OpeningForWritingFailing) {
  EXPECT_EQ(Fallisce(Op::OpenTextFile, kAutorizzazioneNegata, 2), kAutorizzazioneNegata);
  EXPECT_EQ(suite.Leggi(file), prima);
  EXPECT_EQ(suite.Leggi(copia), prima);
}

TEST_F(PassoGuastoTest, WritingFailingHalfWay) {
  EXPECT_EQ(Fallisce(Op::WriteLine, kDiscoPieno, 3), kDiscoPieno);
  EXPECT_EQ(suite.Leggi(file), "MajorVer=7\r\nName=\"A\"\r\n");
  EXPECT_EQ(suite.Leggi(copia), prima);
}

TEST_F(PassoGuastoTest, ReadingFailingHalfWay) {
  EXPECT_EQ(Fallisce(Op::ReadLine, kErroreIo, 2), kErroreIo);
  EXPECT_EQ(suite.Leggi(file), "MajorVer=7\r\n");
  EXPECT_EQ(suite.Leggi(copia), prima);
}

TEST_F(PassoGuastoTest, ClosingTheWriterFailing) {
  EXPECT_EQ(Fallisce(Op::Close, kDiscoPieno, 2), kDiscoPieno);
  EXPECT_EQ(suite.Leggi(copia), prima);
}

TEST_F(PassoGuastoTest, DeletingTheCopyFailing) {
  EXPECT_EQ(Fallisce(Op::DeleteFile, kAutorizzazioneNegata), kAutorizzazioneNegata);
  EXPECT_EQ(suite.Leggi(file), "MajorVer=7\r\nName=\"A\"\r\nMinorVer=8\r\nTitle=\"T\"\r\n");
  EXPECT_EQ(suite.Leggi(copia), prima);
}

}  // namespace
}  // namespace cw
