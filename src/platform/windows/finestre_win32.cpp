#include "platform/windows/finestre_win32.h"

#include <algorithm>
#include <string>

#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

// The text of a window of another process: the caption as the system keeps
// it, else asked of the window itself (a control's text), with a limit, so a
// program that no longer answers costs a moment only.
std::string TestoFinestra(HWND finestra) {
  wchar_t testo[4096] = {};
  if (GetWindowTextW(finestra, testo, 4096) > 0) return Utf8(testo);
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(finestra, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(testo), SMTO_ABORTIFHUNG, 1000, &n) ||
      n == 0)
    return {};
  return Utf8(std::wstring(testo, (std::min)(static_cast<size_t>(n), size_t{4095})));
}

struct Raccolta {
  const std::vector<DWORD>* processi;
  std::vector<FinestraMostrata>* finestre;
};

BOOL CALLBACK Controllo(HWND controllo, LPARAM dati) {
  auto* finestra = reinterpret_cast<FinestraMostrata*>(dati);
  if (!IsWindowVisible(controllo)) return TRUE;
  if (std::string testo = TestoFinestra(controllo); !testo.empty()) finestra->testi.push_back(std::move(testo));
  return TRUE;
}

BOOL CALLBACK DiPrimoLivello(HWND finestra, LPARAM dati) {
  const auto* r = reinterpret_cast<const Raccolta*>(dati);
  DWORD processo = 0;
  GetWindowThreadProcessId(finestra, &processo);
  if (!IsWindowVisible(finestra) || std::find(r->processi->begin(), r->processi->end(), processo) == r->processi->end())
    return TRUE;
  FinestraMostrata mostrata{TestoFinestra(finestra), {}};
  EnumChildWindows(finestra, Controllo, reinterpret_cast<LPARAM>(&mostrata));
  r->finestre->push_back(std::move(mostrata));
  return TRUE;
}

}  // namespace

std::vector<DWORD> ProcessiDelLavoro(HANDLE lavoro) {
  constexpr DWORD kMassimo = 256;
  std::vector<unsigned char> buffer(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) + kMassimo * sizeof(ULONG_PTR));
  auto* elenco = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
  if (!lavoro || !QueryInformationJobObject(lavoro, JobObjectBasicProcessIdList, elenco,
                                            static_cast<DWORD>(buffer.size()), nullptr))
    return {};
  std::vector<DWORD> processi;
  for (DWORD i = 0; i < elenco->NumberOfProcessIdsInList; ++i)
    processi.push_back(static_cast<DWORD>(elenco->ProcessIdList[i]));
  return processi;
}

std::vector<FinestraMostrata> FinestreDeiProcessi(const std::vector<DWORD>& processi) {
  std::vector<FinestraMostrata> finestre;
  if (processi.empty()) return finestre;
  Raccolta r{&processi, &finestre};
  EnumWindows(DiPrimoLivello, reinterpret_cast<LPARAM>(&r));
  return finestre;
}

}  // namespace cw
