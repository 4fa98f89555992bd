#include "platform/windows/trasporto_worker_win32.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "base/righe.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {

struct TrasportoWorkerWin32::Sovrapposta {
  OVERLAPPED ov{};
};

namespace {

using Orologio = std::chrono::steady_clock;

void Chiudi(void*& h) {
  if (h) CloseHandle(h);
  h = nullptr;
}

// A pipe whose read end takes overlapped reads, so a read can be waited for
// with the process and a limit (an anonymous pipe cannot).
bool TuboSovrapposto(HANDLE& lettura, HANDLE& scrittura) {
  static std::atomic<unsigned> contatore{0};
  const std::wstring nome = L"\\\\.\\pipe\\compilawexo-regworker-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++contatore);
  lettura = CreateNamedPipeW(nome.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                             PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 4096, 4096, 0, nullptr);
  if (lettura == INVALID_HANDLE_VALUE) return false;
  SECURITY_ATTRIBUTES ereditabile{sizeof ereditabile, nullptr, TRUE};
  scrittura = CreateFileW(nome.c_str(), GENERIC_WRITE, 0, &ereditabile, OPEN_EXISTING, 0, nullptr);
  if (scrittura == INVALID_HANDLE_VALUE) {
    CloseHandle(lettura);
    return false;
  }
  return true;
}

}  // namespace

TrasportoWorkerWin32::TrasportoWorkerWin32() : lettura_(std::make_unique<Sovrapposta>()) {}

TrasportoWorkerWin32::~TrasportoWorkerWin32() {
  cw::Chiudi(entrata_);
  if (processo_) WaitForSingleObject(processo_, 2000);
  Termina();
}

std::unique_ptr<TrasportoWorkerWin32> TrasportoWorkerWin32::Avvia(const std::filesystem::path& programma) {
  HANDLE suaEntrata = nullptr, nostraEntrata = nullptr, nostraUscita = nullptr, suaUscita = nullptr;
  SECURITY_ATTRIBUTES ereditabile{sizeof ereditabile, nullptr, TRUE};
  if (!CreatePipe(&suaEntrata, &nostraEntrata, &ereditabile, 0)) return nullptr;
  SetHandleInformation(nostraEntrata, HANDLE_FLAG_INHERIT, 0);
  if (!TuboSovrapposto(nostraUscita, suaUscita)) {
    CloseHandle(suaEntrata);
    CloseHandle(nostraEntrata);
    return nullptr;
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = suaEntrata;
  si.hStdOutput = suaUscita;
  // Not the tool's own error stream: a caller reading it through a pipe
  // must see it end when the tool does.
  HANDLE nulla =
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &ereditabile, OPEN_EXISTING, 0, nullptr);
  si.hStdError = nulla == INVALID_HANDLE_VALUE ? nullptr : nulla;
  std::wstring riga = L"\"" + programma.wstring() + L"\"";
  PROCESS_INFORMATION pi{};
  // Only its three handles are inherited, not whatever else of the tool's is
  // inheritable (a caller's pipe among them).
  STARTUPINFOEXW sx{};
  sx.StartupInfo = si;
  sx.StartupInfo.cb = sizeof sx;
  HANDLE ereditati[3] = {suaEntrata, suaUscita, nulla};
  const DWORD quanti = nulla == INVALID_HANDLE_VALUE ? 2 : 3;
  SIZE_T dimensione = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &dimensione);
  std::vector<unsigned char> attributi(dimensione);
  sx.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributi.data());
  const bool conLista = dimensione > 0 && InitializeProcThreadAttributeList(sx.lpAttributeList, 1, 0, &dimensione) &&
                        UpdateProcThreadAttribute(sx.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, ereditati,
                                                  quanti * sizeof(HANDLE), nullptr, nullptr);
  // Suspended until it is in its job, so nothing it starts escapes it; no
  // console window of its own when the tool is a windowed program.
  const DWORD modo = CREATE_SUSPENDED | CREATE_NO_WINDOW;
  BOOL avviato =
      conLista && CreateProcessW(programma.c_str(), riga.data(), nullptr, nullptr, TRUE,
                                 modo | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &sx.StartupInfo, &pi);
  // A system that refuses the list still gets the worker started.
  if (!avviato)
    avviato = CreateProcessW(programma.c_str(), riga.data(), nullptr, nullptr, TRUE, modo, nullptr, nullptr, &si, &pi);
  if (conLista) DeleteProcThreadAttributeList(sx.lpAttributeList);
  CloseHandle(suaEntrata);
  CloseHandle(suaUscita);
  if (nulla != INVALID_HANDLE_VALUE) CloseHandle(nulla);
  if (!avviato) {
    CloseHandle(nostraEntrata);
    CloseHandle(nostraUscita);
    return nullptr;
  }
  std::unique_ptr<TrasportoWorkerWin32> t(new TrasportoWorkerWin32);
  t->job_ = CreateJobObjectW(nullptr, nullptr);
  if (t->job_) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limiti{};
    limiti.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(t->job_, JobObjectExtendedLimitInformation, &limiti, sizeof limiti);
    // Refused where the tool's own job forbids it: then the worker alone is
    // ended, as TerminateProcess can.
    if (!AssignProcessToJobObject(t->job_, pi.hProcess)) cw::Chiudi(t->job_);
  }
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  t->processo_ = pi.hProcess;
  t->pid_ = pi.dwProcessId;
  t->entrata_ = nostraEntrata;
  t->uscita_ = nostraUscita;
  t->evento_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!t->evento_) {
    t->Termina();
    return nullptr;
  }
  return t;
}

bool TrasportoWorkerWin32::Scrivi(std::string_view riga) {
  if (!processo_ || !entrata_) return false;
  const std::string richiesta = std::string(riga) + '\n';
  DWORD scritti = 0;
  return WriteFile(entrata_, richiesta.data(), static_cast<DWORD>(richiesta.size()), &scritti, nullptr) &&
         scritti == richiesta.size();
}

bool TrasportoWorkerWin32::LeggiAncora() {
  while (!inCorso_) {
    ResetEvent(evento_);
    lettura_->ov = OVERLAPPED{};
    lettura_->ov.hEvent = evento_;
    DWORD letti = 0;
    if (ReadFile(uscita_, blocco_, sizeof blocco_, &letti, &lettura_->ov)) {
      buffer_.append(blocco_, letti);
      if (buffer_.find('\n') != std::string::npos) return true;
      continue;
    }
    if (GetLastError() != ERROR_IO_PENDING) return false;
    inCorso_ = true;
  }
  return true;
}

bool TrasportoWorkerWin32::Completata() {
  DWORD letti = 0;
  const BOOL ok = GetOverlappedResult(uscita_, &lettura_->ov, &letti, FALSE);
  if (!ok && GetLastError() == ERROR_IO_INCOMPLETE) return true;
  inCorso_ = false;
  if (!ok) return false;
  buffer_.append(blocco_, letti);
  return true;
}

LetturaRiga TrasportoWorkerWin32::Leggi(std::string& riga, Orologio::time_point scadenza, Attesa& attesa) {
  for (;;) {
    if (PrendiRiga(buffer_, riga)) return LetturaRiga::Riga;
    if (!uscita_ || !LeggiAncora()) return LetturaRiga::Fine;
    if (!inCorso_) continue;  // read at once
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
    if (resto <= 0) return LetturaRiga::Scaduto;
    // The program's end too: a program it started may hold its output open.
    const OggettoAttesa maniglie[] = {reinterpret_cast<OggettoAttesa>(evento_),
                                      reinterpret_cast<OggettoAttesa>(processo_)};
    const int esito = attesa.Aspetta(maniglie, 2, static_cast<int>(std::min<long long>(resto, 0x7FFFFFFF)));
    if (esito == 0) {
      if (!Completata()) return LetturaRiga::Fine;
    } else if (esito == 1) {
      // Ended: whatever it wrote before is in the pipe already, and the pipe
      // breaks once that has been read.
      const ULONGLONG fine = GetTickCount64() + 500;
      while (buffer_.find('\n') == std::string::npos && GetTickCount64() < fine) {
        if (inCorso_ && (WaitForSingleObject(evento_, 100) != WAIT_OBJECT_0 || !Completata())) break;
        if (!inCorso_ && !LeggiAncora()) break;
      }
      if (buffer_.find('\n') != std::string::npos) continue;
      return LetturaRiga::Fine;
    } else if (esito != kAttesaScaduta) {
      return LetturaRiga::Scaduto;  // the wait failed: reported as the time-out is
    }
  }
}

void TrasportoWorkerWin32::Termina() {
  if (!processo_) return;
  if (job_)
    TerminateJobObject(job_, 1);
  else
    TerminateProcess(processo_, 1);
  WaitForSingleObject(processo_, 5000);
  Chiudi();
}

void TrasportoWorkerWin32::Chiudi() {
  // A read still in flight must be over before its buffer can be used again.
  if (inCorso_ && uscita_) {
    CancelIoEx(uscita_, &lettura_->ov);
    DWORD letti = 0;
    GetOverlappedResult(uscita_, &lettura_->ov, &letti, TRUE);
    inCorso_ = false;
  }
  for (void** h : {&job_, &processo_, &entrata_, &uscita_, &evento_}) cw::Chiudi(*h);
  pid_ = 0;
  buffer_.clear();
}

AvvioWorkerWin32::AvvioWorkerWin32(std::filesystem::path worker, std::chrono::milliseconds limiteAvvio)
    : worker_(std::move(worker)), limiteAvvio_(limiteAvvio) {}

LibreriaTrovata AvvioWorkerWin32::Trova(const std::string& percorso, std::size_t massimo) {
  using S = LibreriaTrovata::Stato;
  LibreriaTrovata libreria;
  const std::wstring nome = Wide(percorso);
  const DWORD a = GetFileAttributesW(nome.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    const DWORD e = GetLastError();
    const bool manca = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_INVALID_DRIVE ||
                       e == ERROR_INVALID_NAME || e == ERROR_BAD_NETPATH;
    libreria.stato = manca ? S::Mancante : S::Inaccessibile;
    return libreria;
  }
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    libreria.stato = S::Cartella;
    return libreria;
  }
  libreria.stato = S::File;
  libreria.percorsoHost = percorso;
  const HANDLE file = CreateFileW(nome.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return libreria;  // the worker's loader will say why
  LARGE_INTEGER dimensione{};
  if (GetFileSizeEx(file, &dimensione)) {
    libreria.dimensione = static_cast<std::uint64_t>(dimensione.QuadPart);
    libreria.testa.resize(massimo);
    DWORD n = 0;
    if (!ReadFile(file, libreria.testa.data(), static_cast<DWORD>(massimo), &n, nullptr)) n = 0;
    libreria.testa.resize(n);
  }
  CloseHandle(file);
  return libreria;
}

WorkerAvviato AvvioWorkerWin32::Avvia(TipoWorker /*tipo*/) {
  WorkerAvviato avviato;
  avviato.trasporto = TrasportoWorkerWin32::Avvia(worker_);
  avviato.limiteAvvio = limiteAvvio_;
  return avviato;
}

}  // namespace cw
