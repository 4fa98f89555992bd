#include "platform/windows/processi_win32.h"

#include <windows.h>

#include <vector>

#include "platform/errors.h"
#include "platform/windows/testo_wide.h"

namespace cw {

unsigned short ProcessiWin32::MostraFinestra(int windowStyle) {
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

PROCESS_INFORMATION Crea(const std::string& commandLine, int windowStyle, DWORD flag) {
  // CreateProcessW may write into the line it is given.
  std::wstring riga = Wide(commandLine);
  std::vector<wchar_t> buffer(riga.begin(), riga.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = ProcessiWin32::MostraFinestra(windowStyle);
  PROCESS_INFORMATION pi{};
  if (riga.find_first_not_of(L" \t") == std::wstring::npos ||
      !CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, flag, nullptr, nullptr, &si, &pi))
    SollevaErrore(kFileNonTrovato, "CreateProcessW " + commandLine + ": errore " + std::to_string(GetLastError()),
                  commandLine);
  return pi;
}

}  // namespace

std::uint32_t ProcessiWin32::Shell(const std::string& commandLine, int windowStyle) {
  const PROCESS_INFORMATION pi = Crea(commandLine, windowStyle, 0);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return pi.dwProcessId;
}

HandleProcesso ProcessiWin32::AvviaConHandle(const std::string& commandLine, int windowStyle) {
  // Suspended until it is in a job of its own, so nothing it starts escapes
  // TerminateProcess.
  const PROCESS_INFORMATION pi = Crea(commandLine, windowStyle, CREATE_SUSPENDED);
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  // Refused where the tool's own job forbids it: then the process alone is ended.
  if (job && !AssignProcessToJobObject(job, pi.hProcess)) {
    ::CloseHandle(job);
    job = nullptr;
  }
  ResumeThread(pi.hThread);
  ::CloseHandle(pi.hThread);
  const auto handle = reinterpret_cast<HandleProcesso>(pi.hProcess);
  if (job) job_[handle] = job;
  return handle;
}

void ProcessiWin32::TerminateProcess(HandleProcesso handle) {
  const HANDLE processo = reinterpret_cast<HANDLE>(handle);
  if (::WaitForSingleObject(processo, 0) == WAIT_OBJECT_0) return;
  if (const auto j = job_.find(handle); j != job_.end())
    TerminateJobObject(j->second, 1);
  else
    ::TerminateProcess(processo, 1);
  ::WaitForSingleObject(processo, 5000);
}

HandleProcesso ProcessiWin32::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) {
  return reinterpret_cast<HandleProcesso>(::OpenProcess(access, inherit ? TRUE : FALSE, pid));
}

std::uint32_t ProcessiWin32::WaitForSingleObject(HandleProcesso handle, std::uint32_t milliseconds) {
  AttesaBloccante bloccante;
  Attesa& attesa = attesa_ ? *attesa_ : bloccante;
  const void* h = reinterpret_cast<const void*>(handle);
  const unsigned long esito = attesa.Aspetta(&h, 1, milliseconds);
  if (esito == WAIT_OBJECT_0) return kWaitObject0;
  if (esito == WAIT_TIMEOUT) return kWaitTimeout;
  return kWaitFailed;
}

void ProcessiWin32::CloseHandle(HandleProcesso handle) {
  if (const auto j = job_.find(handle); j != job_.end()) {
    ::CloseHandle(j->second);
    job_.erase(j);
  }
  if (handle != 0) ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

bool ProcessiWin32::GetExitCodeProcess(HandleProcesso handle, std::uint32_t& code) {
  DWORD c = 0;
  if (!::GetExitCodeProcess(reinterpret_cast<HANDLE>(handle), &c) || c == STILL_ACTIVE) return false;
  code = c;
  return true;
}

}  // namespace cw
