#include "agente/programmi_agente.h"

#include <cstdlib>

#include "agente/canali_agente.h"
#include "agente/registrazione_agente.h"
#include "base/protocollo_agente.h"
#include "platform/windows/finestre_win32.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw::agente {

namespace {

// Wine's own conversion of a host path to the prefix's drives; the path as
// it is where there is no Wine (a Windows path already).
std::wstring PercorsoDos(const std::string& host) {
  using Conversione = WCHAR* (*)(LPCSTR);
  const auto converti = reinterpret_cast<Conversione>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!converti || host.empty() || host[0] != '/') return Wide(host);
  WCHAR* dos = converti(host.c_str());
  if (!dos) return Wide(host);
  std::wstring risultato(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return risultato;
}

// A decimal number, the whole word; false for anything else.
bool Numero(const std::string& parola, unsigned long& n) {
  if (parola.empty() || parola.size() > 10) return false;
  char* fine = nullptr;
  n = std::strtoul(parola.c_str(), &fine, 10);
  return *fine == '\0' && parola[0] >= '0' && parola[0] <= '9';
}

// The NUL device, for a program's standard handles.
HANDLE Nulla() {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                     nullptr);
}

HANDLE LavoroCheFinisceConLAgente() {
  HANDLE lavoro = CreateJobObjectW(nullptr, nullptr);
  if (!lavoro) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limiti = {};
  limiti.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(lavoro, JobObjectExtendedLimitInformation, &limiti, sizeof limiti);
  return lavoro;
}

}  // namespace

ProgrammiAgente::~ProgrammiAgente() {
  for (auto& [numero, programma] : programmi_) Rilascia(programma);
}

void ProgrammiAgente::Rilascia(Programma& programma) {
  if (programma.processo) CloseHandle(programma.processo);
  if (programma.lavoro) CloseHandle(programma.lavoro);
  programma = {};
}

ProgrammiAgente::Programma* ProgrammiAgente::Trova(const std::vector<std::string>& argomenti, unsigned long* numero) {
  unsigned long n = 0;
  if (argomenti.empty() || !Numero(argomenti[0], n)) return nullptr;
  if (numero) *numero = n;
  const auto it = programmi_.find(n);
  return it == programmi_.end() ? nullptr : &it->second;
}

void ProgrammiAgente::Avvia(const std::vector<std::string>& argomenti) {
  std::string programma, riga;
  if (argomenti.size() != 3 || !worker::DaEsadecimale(argomenti[0], programma) ||
      !worker::DaEsadecimale(argomenti[1], riga) || programma.empty()) {
    Riferisci(worker::kAvvioFallito,
              std::to_string(ERROR_INVALID_PARAMETER) + ' ' + worker::Esadecimale("richiesta non valida"));
    return;
  }
  const std::wstring eseguibile = PercorsoDos(programma);
  std::wstring linea = Wide(riga);
  const char stile = argomenti[2].empty() ? '1' : argomenti[2][0];

  const HANDLE nulla = Nulla();
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  if (nulla != INVALID_HANDLE_VALUE) {
    si.dwFlags |= STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nulla;
  }
  si.wShowWindow = static_cast<WORD>(stile == '0' ? SW_HIDE : stile == '2' ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  PROCESS_INFORMATION pi = {};
  // Suspended until it is in its job, so nothing it starts escapes the job.
  const BOOL avviato = CreateProcessW(eseguibile.c_str(), linea.data(), nullptr, nullptr, nulla != INVALID_HANDLE_VALUE,
                                      CREATE_SUSPENDED, nullptr, nullptr, &si, &pi);
  const DWORD errore = avviato ? 0 : GetLastError();
  if (nulla != INVALID_HANDLE_VALUE) CloseHandle(nulla);
  if (!avviato) {
    Riferisci(worker::kAvvioFallito, std::to_string(errore) + ' ' + worker::Esadecimale(MessaggioDiSistema(errore)));
    return;
  }
  Programma nuovo;
  nuovo.processo = pi.hProcess;
  nuovo.pid = pi.dwProcessId;
  nuovo.lavoro = LavoroCheFinisceConLAgente();
  if (nuovo.lavoro && !AssignProcessToJobObject(nuovo.lavoro, pi.hProcess)) {
    CloseHandle(nuovo.lavoro);
    nuovo.lavoro = nullptr;
  }
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  const unsigned long numero = prossimo_++;
  programmi_[numero] = nuovo;
  Riferisci(worker::kAvviato, std::to_string(numero));
}

void ProgrammiAgente::Attendi(const std::vector<std::string>& argomenti) {
  Programma* programma = Trova(argomenti);
  unsigned long ms = 0;
  if (!programma || argomenti.size() != 2 || !Numero(argomenti[1], ms)) {
    Riferisci(worker::kSconosciuto);
    return;
  }
  const DWORD esito = WaitForSingleObject(programma->processo, static_cast<DWORD>(ms));
  DWORD codice = 0;
  if (esito == WAIT_OBJECT_0 && GetExitCodeProcess(programma->processo, &codice))
    Riferisci(worker::kFinito, std::to_string(codice));
  else if (esito == WAIT_TIMEOUT)
    Riferisci(worker::kInCorso);
  else
    Riferisci(worker::kSconosciuto);
}

void ProgrammiAgente::Finestre(const std::vector<std::string>& argomenti) {
  if (const Programma* programma = Trova(argomenti)) {
    std::vector<DWORD> processi = programma->lavoro ? ProcessiDelLavoro(programma->lavoro) : std::vector<DWORD>{};
    if (processi.empty()) processi.push_back(programma->pid);
    for (const FinestraMostrata& f : FinestreDeiProcessi(processi)) {
      Riferisci(worker::kFinestra, worker::Esadecimale(f.titolo));
      for (const std::string& t : f.testi) Riferisci(worker::kTesto, worker::Esadecimale(t));
    }
  }
  Riferisci(worker::kFine);
}

void ProgrammiAgente::Termina(const std::vector<std::string>& argomenti) {
  Programma* programma = Trova(argomenti);
  if (!programma) {
    Riferisci(worker::kSconosciuto);
    return;
  }
  // The job holds what it started too.
  if (!programma->lavoro || !TerminateJobObject(programma->lavoro, 1)) TerminateProcess(programma->processo, 1);
  WaitForSingleObject(programma->processo, 5000);
  Riferisci(worker::kTerminato);
}

void ProgrammiAgente::Chiudi(const std::vector<std::string>& argomenti) {
  unsigned long numero = 0;
  Programma* programma = Trova(argomenti, &numero);
  if (!programma) {
    Riferisci(worker::kSconosciuto);
    return;
  }
  // One still running stays, in its job, until it ends with the agent.
  if (WaitForSingleObject(programma->processo, 0) == WAIT_OBJECT_0) {
    Rilascia(*programma);
    programmi_.erase(numero);
  }
  Riferisci(worker::kChiuso);
}

}  // namespace cw::agente
