#include "platform/windows/processes_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "base/errors.h"
#include "platform/windows/cartella_prova.h"
#include "platform/windows/testo_wide_win32.h"
#include "platform/windows/trova_programma_win32.h"

namespace cw {
namespace {

using prova::AccantoAlProgramma;
using prova::CartellaProva;

std::string Virgolette(const std::string& s) { return "\"" + s + "\""; }

TEST(ProcessesWin32, AvviaAttendeEChiude) {
  ProcessesWin32 p;
  const std::string prova = Virgolette(AccantoAlProgramma("cw_programma_prova.exe"));
  struct Caso {
    std::string riga;
    int stile;
    std::uint32_t uscita;
  };
  const Caso casi[] = {
      {prova + " esci 3", kFinestraRidotta, 3},
      {prova + " esci 0", kFinestraNascosta, 0},
      {prova + " attendi 50", kFinestraNormale, 0},
  };
  for (const auto& c : casi) {
    const std::uint32_t pid = p.Shell(c.riga, c.stile);
    const HandleProcesso h = p.OpenProcess(kProcessAllAccess, false, pid);
    ASSERT_NE(h, 0) << c.riga;
    EXPECT_EQ(p.WaitForSingleObject(h, kInfinite), kWaitObject0);
    std::uint32_t codice = 99;
    EXPECT_TRUE(p.GetExitCodeProcess(h, codice));
    EXPECT_EQ(codice, c.uscita) << c.riga;
    p.CloseHandle(h);
  }
  // A process still running: the wait with a limit says so.
  const HandleProcesso h = p.OpenProcess(kProcessAllAccess, false, p.Shell(prova + " attendi 5000", 0));
  EXPECT_EQ(p.WaitForSingleObject(h, 20), kWaitTimeout);
  std::uint32_t codice = 0;
  EXPECT_FALSE(p.GetExitCodeProcess(h, codice));
  TerminateProcess(reinterpret_cast<HANDLE>(h), 0);
  p.CloseHandle(h);
  EXPECT_EQ(p.WaitForSingleObject(0, 0), kWaitFailed);
  EXPECT_EQ(p.OpenProcess(kProcessAllAccess, false, 0xFFFFFFF0u), 0);
}

// An unquoted program path with blanks is found as Windows finds it.
TEST(ProcessesWin32, PercorsoConSpaziSenzaVirgolette) {
  CartellaProva dir;
  const std::string programma = dir / "Il Server.exe";
  ASSERT_TRUE(CopyFileW(Wide(AccantoAlProgramma("cw_programma_prova.exe")).c_str(), Wide(programma).c_str(), TRUE));
  ProcessesWin32 p;
  const HandleProcesso h = p.OpenProcess(kProcessAllAccess, false, p.Shell(programma + " esci 7", 0));
  ASSERT_NE(h, 0);
  ASSERT_EQ(p.WaitForSingleObject(h, 10000), kWaitObject0);
  std::uint32_t codice = 0;
  EXPECT_TRUE(p.GetExitCodeProcess(h, codice));
  EXPECT_EQ(codice, 7u);
  p.CloseHandle(h);
  EXPECT_EQ(TrovaProgrammaWin32(programma), std::filesystem::path(Wide(programma)));
  EXPECT_TRUE(TrovaProgrammaWin32("cmd"));
  EXPECT_FALSE(TrovaProgrammaWin32(dir / "nessuno.exe"));
}

// Started with its handle: the exit code of one that ends at once is kept;
// one that does not end is ended with what it started.
TEST(ProcessesWin32, AvviaConHandleTerminaAncheIFigli) {
  CartellaProva dir;
  ProcessesWin32 p;
  const std::string prova = Virgolette(AccantoAlProgramma("cw_programma_prova.exe"));
  HandleProcesso h = p.AvviaConHandle(prova + " esci 3", kFinestraNascosta);
  ASSERT_EQ(p.WaitForSingleObject(h, 10000), kWaitObject0);
  std::uint32_t codice = 0;
  EXPECT_TRUE(p.GetExitCodeProcess(h, codice));
  EXPECT_EQ(codice, 3u);
  p.CloseHandle(h);

  const std::string file = dir / "figlio.txt";
  h = p.AvviaConHandle(prova + " padre " + Virgolette(file), kFinestraNascosta);
  unsigned long figlio = 0;
  for (int i = 0; i < 1000 && !figlio; ++i) {
    Sleep(10);
    if (FILE* f = _wfopen(Wide(file).c_str(), L"r")) {
      if (std::fscanf(f, "%lu", &figlio) != 1) figlio = 0;
      std::fclose(f);
    }
  }
  ASSERT_NE(figlio, 0u);
  const HANDLE suo = OpenProcess(SYNCHRONIZE, FALSE, figlio);
  ASSERT_NE(suo, nullptr);
  EXPECT_EQ(p.WaitForSingleObject(h, 20), kWaitTimeout);
  p.TerminateProcess(h);
  EXPECT_EQ(p.WaitForSingleObject(h, 0), kWaitObject0);
  EXPECT_EQ(WaitForSingleObject(suo, 5000), WAIT_OBJECT_0);
  CloseHandle(suo);
  p.CloseHandle(h);
}

// A program runs in a job with all it starts: the tool killed while it waits
// takes them along; the tool's normal exit leaves a program nobody waited
// for running, with what it started.
TEST(ProcessesWin32, QuelCheAvviaFinisceConLoStrumentoUcciso) {
  CartellaProva dir;
  const struct {
    const char* cosa;
    const char* modo;
    bool ucciso;
  } casi[] = {
      {"killed in a wait", "attendi", true},
      {"normal exit, never waited for", "lascia", false},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cosa);
    const std::string file = dir / (std::string(c.modo) + ".pid");
    std::wstring riga = Wide(Virgolette(AccantoAlProgramma("cw_programma_prova.exe")) + " strumento " + c.modo + " " +
                             Virgolette(file));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION strumento{};
    ASSERT_TRUE(CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &strumento));
    CloseHandle(strumento.hThread);
    std::vector<DWORD> pid;
    for (int i = 0; i < 2000 && pid.size() < 2; ++i) {
      Sleep(10);
      pid.clear();
      std::ifstream in(std::filesystem::path(Wide(file)));
      for (DWORD p; in >> p;) pid.push_back(p);
    }
    ASSERT_EQ(pid.size(), 2u);
    if (c.ucciso) TerminateProcess(strumento.hProcess, 1);
    EXPECT_EQ(WaitForSingleObject(strumento.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(strumento.hProcess);
    for (const DWORD p : pid) {
      const HANDLE h = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, p);
      if (!h) {
        EXPECT_TRUE(c.ucciso) << p << " has ended";
        continue;
      }
      EXPECT_EQ(WaitForSingleObject(h, c.ucciso ? 10000 : 300), c.ucciso ? WAIT_OBJECT_0 : WAIT_TIMEOUT) << p;
      TerminateProcess(h, 0);
      CloseHandle(h);
    }
  }
}

TEST(ProcessesWin32, ProgrammaCheNonPuoPartireDa53) {
  CartellaProva dir;
  ProcessesWin32 p;
  for (const std::string& riga : {dir / "nessuno.exe", Virgolette(dir / "nessuno.exe") + " /x", std::string("  ")}) {
    try {
      p.Shell(riga, kFinestraNormale);
      ADD_FAILURE() << riga;
    } catch (const ErroreRuntime& e) {
      EXPECT_EQ(e.Numero(), kFileNonTrovato) << riga;
    }
  }
}

}  // namespace
}  // namespace cw
