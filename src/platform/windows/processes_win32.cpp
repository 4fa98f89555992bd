#include "platform/windows/processes_win32.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "base/errors.h"
#include "platform/windows/attesa_win32.h"
#include "platform/windows/finestre_win32.h"
#include "platform/windows/schermata_win32.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

// Each program started runs in a job of its own, which ends the program and
// all it started when its last handle closes: the tool killed, or ended by
// Ctrl+C, Ctrl+Break or its console closing, takes them with it. A program
// seen to end lets go of its job, leaving what it started to run, as the
// tool's normal exit does for a program nobody waited for (a server left
// registering itself).
struct Lavoro {
  HANDLE job = nullptr;
  HANDLE processo = nullptr;
  int attese = 0;  // waits for it under way
};

std::mutex& Mutex() {
  static auto* m = new std::mutex;
  return *m;
}

// Never destroyed: the exit and console handlers use it to the end.
std::map<DWORD, Lavoro>& Lavori() {
  static auto* lavori = new std::map<DWORD, Lavoro>;
  return *lavori;
}

void Libera(Lavoro& l) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limiti{};
  SetInformationJobObject(l.job, JobObjectExtendedLimitInformation, &limiti, sizeof limiti);
  ::CloseHandle(l.job);
  ::CloseHandle(l.processo);
}

// The tool's normal exit: a program still waited for ends with it (the
// window gone in a wait), any other is left to run.
void AllUscita() {
  std::lock_guard<std::mutex> lock(Mutex());
  for (auto& [pid, l] : Lavori()) {
    if (l.attese > 0)
      TerminateJobObject(l.job, 1);
    else
      Libera(l);
  }
  Lavori().clear();
}

// Ctrl+C, Ctrl+Break, the console closed, the session ending: every program
// started ends first, then the system's own handling ends the tool.
BOOL WINAPI AlSegnale(DWORD) {
  std::lock_guard<std::mutex> lock(Mutex());
  for (auto& [pid, l] : Lavori()) TerminateJobObject(l.job, 1);
  return FALSE;
}

void PreparaUscita() {
  static const bool fatto = [] {
    std::atexit(AllUscita);
    SetConsoleCtrlHandler(AlSegnale, TRUE);
    return true;
  }();
  (void)fatto;
}

// Lets go of the jobs of programs that have ended with nobody waiting.
void LiberaFiniti() {
  for (auto it = Lavori().begin(); it != Lavori().end();) {
    if (it->second.attese == 0 && ::WaitForSingleObject(it->second.processo, 0) == WAIT_OBJECT_0) {
      Libera(it->second);
      it = Lavori().erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace

unsigned short ProcessesWin32::MostraFinestra(int windowStyle) {
  switch (windowStyle) {
    case kFinestraNascosta: return SW_HIDE;
    case kFinestraNormale: return SW_SHOWNORMAL;
    case kFinestraRidotta: return SW_SHOWMINIMIZED;
    case 3: return SW_SHOWMAXIMIZED;
    case 4: return SW_SHOWNOACTIVATE;
    case 6: return SW_SHOWMINNOACTIVE;
    default: return SW_SHOWNORMAL;
  }
}

namespace {

// Starts the program in a job of its own; with mantieni, a handle of the
// process for the caller, taken before it runs so its end cannot be missed.
HANDLE Avvia(const std::string& commandLine, int windowStyle, bool mantieni, DWORD& pid) {
  // CreateProcessW may write into the line it is given.
  std::wstring riga = Wide(commandLine);
  std::vector<wchar_t> buffer(riga.begin(), riga.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = ProcessesWin32::MostraFinestra(windowStyle);
  PROCESS_INFORMATION pi{};
  // Suspended until it is in its job, so nothing it starts escapes it.
  if (riga.find_first_not_of(L" \t") == std::wstring::npos ||
      !CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
    SollevaErrore(kFileNonTrovato, "CreateProcessW " + commandLine + ": errore " + std::to_string(GetLastError()),
                  commandLine);
  PreparaUscita();
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limiti{};
    limiti.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limiti, sizeof limiti);
    // Refused where the tool's own job forbids it: the program then runs
    // as before, outside any job.
    if (!AssignProcessToJobObject(job, pi.hProcess)) {
      ::CloseHandle(job);
      job = nullptr;
    }
  }
  HANDLE processo = nullptr;
  if (mantieni)
    DuplicateHandle(GetCurrentProcess(), pi.hProcess, GetCurrentProcess(), &processo, 0, FALSE, DUPLICATE_SAME_ACCESS);
  {
    std::lock_guard<std::mutex> lock(Mutex());
    LiberaFiniti();
    if (job)
      Lavori()[pi.dwProcessId] = Lavoro{job, pi.hProcess, 0};
    else
      ::CloseHandle(pi.hProcess);
  }
  ResumeThread(pi.hThread);
  ::CloseHandle(pi.hThread);
  pid = pi.dwProcessId;
  return processo;
}

}  // namespace

std::uint32_t ProcessesWin32::Shell(const std::string& commandLine, int windowStyle) {
  DWORD pid = 0;
  Avvia(commandLine, windowStyle, false, pid);
  return pid;
}

HandleProcesso ProcessesWin32::AvviaConHandle(const std::string& commandLine, int windowStyle) {
  DWORD pid = 0;
  return reinterpret_cast<HandleProcesso>(Avvia(commandLine, windowStyle, true, pid));
}

void ProcessesWin32::TerminateProcess(HandleProcesso handle) {
  const HANDLE processo = reinterpret_cast<HANDLE>(handle);
  if (::WaitForSingleObject(processo, 0) == WAIT_OBJECT_0) return;
  bool inJob = false;
  {
    std::lock_guard<std::mutex> lock(Mutex());
    if (auto it = Lavori().find(GetProcessId(processo)); it != Lavori().end()) {
      TerminateJobObject(it->second.job, 1);
      inJob = true;
    }
  }
  if (!inJob) ::TerminateProcess(processo, 1);
  ::WaitForSingleObject(processo, 5000);
}

std::vector<FinestraMostrata> ProcessesWin32::FinestreMostrate(HandleProcesso handle) {
  const DWORD pid = GetProcessId(reinterpret_cast<HANDLE>(handle));
  std::vector<DWORD> processi;
  {
    std::lock_guard<std::mutex> lock(Mutex());
    if (auto it = Lavori().find(pid); it != Lavori().end()) processi = ProcessiDelLavoro(it->second.job);
  }
  if (processi.empty() && pid != 0) processi.push_back(pid);
  return FinestreDeiProcessi(processi);
}

bool ProcessesWin32::SalvaSchermata(const std::string& percorso) { return SalvaSchermataGdi(Wide(percorso)); }

HandleProcesso ProcessesWin32::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) {
  return reinterpret_cast<HandleProcesso>(::OpenProcess(access, inherit ? TRUE : FALSE, pid));
}

std::uint32_t ProcessesWin32::WaitForSingleObject(HandleProcesso handle, std::uint32_t milliseconds) {
  AttesaWin32 bloccante;
  Attesa& attesa = attesa_ ? *attesa_ : bloccante;
  const OggettoAttesa h = static_cast<OggettoAttesa>(handle);
  const DWORD pid = GetProcessId(reinterpret_cast<HANDLE>(handle));
  const auto contaAttesa = [pid](int passo) {
    std::lock_guard<std::mutex> lock(Mutex());
    if (auto it = Lavori().find(pid); it != Lavori().end()) it->second.attese += passo;
  };
  contaAttesa(1);
  // Past 24 days a limit is as good as none: the wait takes an int.
  const int ms =
      milliseconds == INFINITE ? kAttesaSenzaLimite : static_cast<int>(std::min<std::uint32_t>(milliseconds, INT_MAX));
  const int esito = attesa.Aspetta(&h, 1, ms);
  contaAttesa(-1);
  if (esito == 0) {
    std::lock_guard<std::mutex> lock(Mutex());
    if (auto it = Lavori().find(pid); it != Lavori().end() && it->second.attese == 0) {
      Libera(it->second);
      Lavori().erase(it);
    }
    return kWaitObject0;
  }
  if (esito == kAttesaScaduta) return kWaitTimeout;
  return kWaitFailed;
}

void ProcessesWin32::CloseHandle(HandleProcesso handle) {
  if (handle != 0) ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

bool ProcessesWin32::GetExitCodeProcess(HandleProcesso handle, std::uint32_t& code) {
  DWORD c = 0;
  if (!::GetExitCodeProcess(reinterpret_cast<HANDLE>(handle), &c) || c == STILL_ACTIVE) return false;
  code = c;
  return true;
}

}  // namespace cw
