#include "platform/windows/processi_win32.h"

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

unsigned short ProcessiWin32::MostraFinestra(int stile) {
  switch (stile) {
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

// Counts a wait for the program's job under way, so that the tool's normal
// exit ends a program still waited for.
void ContaAttesa(DWORD pid, int passo) {
  std::lock_guard<std::mutex> lock(Mutex());
  if (auto it = Lavori().find(pid); it != Lavori().end()) it->second.attese += passo;
}

// Seen to end with no wait left on it: lets go of its job.
void LiberaLavoro(DWORD pid) {
  std::lock_guard<std::mutex> lock(Mutex());
  if (auto it = Lavori().find(pid); it != Lavori().end() && it->second.attese == 0) {
    Libera(it->second);
    Lavori().erase(it);
  }
}

// Past 24 days a limit is as good as none: the wait takes an int.
int Millisecondi(std::chrono::milliseconds limite) {
  if (limite == kSenzaLimite) return kAttesaSenzaLimite;
  return static_cast<int>(std::clamp<long long>(limite.count(), 0, INT_MAX));
}

class ProgrammaWin32 : public ProgrammaAvviato {
 public:
  ProgrammaWin32(HANDLE processo, DWORD pid, Attesa* attesa) : processo_(processo), pid_(pid), attesa_(attesa) {}
  ~ProgrammaWin32() override {
    if (processo_) ::CloseHandle(processo_);
  }
  ProgrammaWin32(const ProgrammaWin32&) = delete;
  ProgrammaWin32& operator=(const ProgrammaWin32&) = delete;

  EsitoAttesa Attendi(std::chrono::milliseconds limite) override {
    if (finito_) return EsitoAttesa::Finito;
    AttesaWin32 bloccante;
    Attesa& attesa = attesa_ ? *attesa_ : bloccante;
    const OggettoAttesa h = reinterpret_cast<OggettoAttesa>(processo_);
    ContaAttesa(pid_, 1);
    const int esito = attesa.Aspetta(&h, 1, Millisecondi(limite));
    ContaAttesa(pid_, -1);
    if (esito == 0) {
      Finito();
      return EsitoAttesa::Finito;
    }
    return esito == kAttesaScaduta ? EsitoAttesa::InCorso : EsitoAttesa::Fallita;
  }
  std::optional<std::uint32_t> CodiceUscita() const override {
    DWORD c = 0;
    if (!finito_ || !::GetExitCodeProcess(processo_, &c) || c == STILL_ACTIVE) return std::nullopt;
    return c;
  }
  // Ends its job (else the process alone) and waits a moment for its end.
  void Termina() override {
    if (finito_ || ::WaitForSingleObject(processo_, 0) == WAIT_OBJECT_0) {
      Finito();
      return;
    }
    bool inJob = false;
    {
      std::lock_guard<std::mutex> lock(Mutex());
      if (auto it = Lavori().find(pid_); it != Lavori().end()) {
        TerminateJobObject(it->second.job, 1);
        inJob = true;
      }
    }
    if (!inJob) ::TerminateProcess(processo_, 1);
    if (::WaitForSingleObject(processo_, 5000) == WAIT_OBJECT_0) Finito();
  }
  // The windows of the processes of its job (else of the process alone).
  std::vector<FinestraMostrata> Finestre() override {
    std::vector<DWORD> processi;
    {
      std::lock_guard<std::mutex> lock(Mutex());
      if (auto it = Lavori().find(pid_); it != Lavori().end()) processi = ProcessiDelLavoro(it->second.job);
    }
    if (processi.empty() && pid_ != 0) processi.push_back(pid_);
    return FinestreDeiProcessi(processi);
  }

  HANDLE Processo() const { return processo_; }
  DWORD Pid() const { return pid_; }
  void Finito() {
    finito_ = true;
    LiberaLavoro(pid_);
  }

 private:
  HANDLE processo_;
  DWORD pid_;
  Attesa* attesa_;
  bool finito_ = false;
};

}  // namespace

std::unique_ptr<ProgrammaAvviato> ProcessiWin32::Avvia(const std::string& commandLine, int stile) {
  // CreateProcessW may write into the line it is given.
  std::wstring riga = Wide(commandLine);
  std::vector<wchar_t> buffer(riga.begin(), riga.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = MostraFinestra(stile);
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
  // The caller's own handle, taken before it runs so its end cannot be missed.
  HANDLE processo = nullptr;
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
  return std::make_unique<ProgrammaWin32>(processo, pi.dwProcessId, attesa_);
}

std::optional<std::size_t> ProcessiWin32::AttendiPrimo(std::span<ProgrammaAvviato* const> programmi,
                                                       std::chrono::milliseconds limite) {
  std::vector<ProgrammaWin32*> nostri;
  std::vector<OggettoAttesa> handle;
  for (ProgrammaAvviato* p : programmi) {
    auto* w = dynamic_cast<ProgrammaWin32*>(p);
    if (!w) break;
    nostri.push_back(w);
    handle.push_back(reinterpret_cast<OggettoAttesa>(w->Processo()));
  }
  // One wait takes at most MAXIMUM_WAIT_OBJECTS handles.
  if (programmi.empty() || nostri.size() != programmi.size() || handle.size() > MAXIMUM_WAIT_OBJECTS)
    return Processi::AttendiPrimo(programmi, limite);
  AttesaWin32 bloccante;
  Attesa& attesa = attesa_ ? *attesa_ : bloccante;
  for (ProgrammaWin32* w : nostri) ContaAttesa(w->Pid(), 1);
  const int esito = attesa.Aspetta(handle.data(), handle.size(), Millisecondi(limite));
  for (ProgrammaWin32* w : nostri) ContaAttesa(w->Pid(), -1);
  if (esito >= 0) {
    nostri[static_cast<std::size_t>(esito)]->Finito();
    return static_cast<std::size_t>(esito);
  }
  if (esito == kAttesaScaduta) return std::nullopt;
  return 0;  // a wait that failed: the first tells it with its own wait
}

}  // namespace cw
