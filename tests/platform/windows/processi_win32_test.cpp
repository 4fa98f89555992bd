#include "platform/windows/processi_win32.h"

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

TEST(ProcessiWin32, AvviaAttendeEChiude) {
  ProcessiWin32 p;
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
    const auto h = p.Avvia(c.riga, c.stile);
    EXPECT_EQ(h->Attendi(kSenzaLimite), EsitoAttesa::Finito);
    EXPECT_EQ(h->CodiceUscita(), c.uscita) << c.riga;
  }
  // A process still running: the wait with a limit says so.
  const auto h = p.Avvia(prova + " attendi 5000", 0);
  EXPECT_EQ(h->Attendi(std::chrono::milliseconds(20)), EsitoAttesa::InCorso);
  EXPECT_EQ(h->CodiceUscita(), std::nullopt);
  // The first of several to end is told, and none within a limit.
  const auto breve = p.Avvia(prova + " attendi 50", 0);
  ProgrammaAvviato* due[] = {h.get(), breve.get()};
  EXPECT_EQ(p.AttendiPrimo(due, std::chrono::milliseconds(10000)), 1u);
  EXPECT_EQ(p.AttendiPrimo(std::span(due, 1), std::chrono::milliseconds(20)), std::nullopt);
  h->Termina();
  EXPECT_EQ(h->Attendi(std::chrono::milliseconds(0)), EsitoAttesa::Finito);
}

// An unquoted program path with blanks is found as Windows finds it.
TEST(ProcessiWin32, PercorsoConSpaziSenzaVirgolette) {
  CartellaProva dir;
  const std::string programma = dir / "Il Server.exe";
  ASSERT_TRUE(CopyFileW(Wide(AccantoAlProgramma("cw_programma_prova.exe")).c_str(), Wide(programma).c_str(), TRUE));
  ProcessiWin32 p;
  const auto h = p.Avvia(programma + " esci 7", 0);
  ASSERT_EQ(h->Attendi(std::chrono::milliseconds(10000)), EsitoAttesa::Finito);
  EXPECT_EQ(h->CodiceUscita(), 7u);
  EXPECT_EQ(TrovaProgrammaWin32(programma), std::filesystem::path(Wide(programma)));
  EXPECT_TRUE(TrovaProgrammaWin32("cmd"));
  EXPECT_FALSE(TrovaProgrammaWin32(dir / "nessuno.exe"));
}

// The exit code of one that ends at once is kept; one that does not end is
// ended with what it started.
TEST(ProcessiWin32, TerminaAncheIFigli) {
  CartellaProva dir;
  ProcessiWin32 p;
  const std::string prova = Virgolette(AccantoAlProgramma("cw_programma_prova.exe"));
  auto h = p.Avvia(prova + " esci 3", kFinestraNascosta);
  ASSERT_EQ(h->Attendi(std::chrono::milliseconds(10000)), EsitoAttesa::Finito);
  EXPECT_EQ(h->CodiceUscita(), 3u);

  const std::string file = dir / "figlio.txt";
  h = p.Avvia(prova + " padre " + Virgolette(file), kFinestraNascosta);
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
  EXPECT_EQ(h->Attendi(std::chrono::milliseconds(20)), EsitoAttesa::InCorso);
  h->Termina();
  EXPECT_EQ(h->Attendi(std::chrono::milliseconds(0)), EsitoAttesa::Finito);
  EXPECT_EQ(WaitForSingleObject(suo, 5000), WAIT_OBJECT_0);
  CloseHandle(suo);
}

// A program runs in a job with all it starts: the tool killed while it waits
// takes them along; the tool's normal exit leaves a program nobody waited
// for running, with what it started.
TEST(ProcessiWin32, QuelCheAvviaFinisceConLoStrumentoUcciso) {
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

TEST(ProcessiWin32, ProgrammaCheNonPuoPartireDa53) {
  CartellaProva dir;
  ProcessiWin32 p;
  for (const std::string& riga : {dir / "nessuno.exe", Virgolette(dir / "nessuno.exe") + " /x", std::string("  ")}) {
    try {
      p.Avvia(riga, kFinestraNormale);
      ADD_FAILURE() << riga;
    } catch (const ErroreRuntime& e) {
      EXPECT_EQ(e.Numero(), kFileNonTrovato) << riga;
    }
  }
}

}  // namespace
}  // namespace cw
