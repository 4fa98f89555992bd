#include "agente/canali_agente.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace cw::agente {

namespace {

HANDLE g_uscita = INVALID_HANDLE_VALUE;
HANDLE g_entrata = INVALID_HANDLE_VALUE;

}  // namespace

bool TieniCanali() {
  const HANDLE processo = GetCurrentProcess();
  // Copies no program started here inherits.
  if (!DuplicateHandle(processo, GetStdHandle(STD_INPUT_HANDLE), processo, &g_entrata, 0, FALSE,
                       DUPLICATE_SAME_ACCESS) ||
      !DuplicateHandle(processo, GetStdHandle(STD_OUTPUT_HANDLE), processo, &g_uscita, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return false;
  const int nulla = _open("NUL", _O_RDONLY | _O_BINARY);
  if (nulla >= 0) _dup2(nulla, 0);
  _dup2(2, 1);
  SetStdHandle(STD_INPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(0)));
  SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
  return true;
}

void Riferisci(const char* parola, const std::string& dettaglio) {
  std::string riga = parola;
  if (!dettaglio.empty()) riga += ' ' + dettaglio;
  for (char& c : riga)
    if (c == '\n' || c == '\r') c = ' ';
  riga += '\n';
  const char* p = riga.data();
  DWORD resto = static_cast<DWORD>(riga.size());
  while (resto > 0) {
    DWORD scritti = 0;
    if (!WriteFile(g_uscita, p, resto, &scritti, nullptr) || scritti == 0) return;  // the tool has gone
    p += scritti;
    resto -= scritti;
  }
  FlushFileBuffers(g_uscita);
}

bool LeggiRiga(std::string& riga) {
  static std::string accumulo;
  static bool finito = false;
  riga.clear();
  for (;;) {
    const size_t a_capo = accumulo.find('\n');
    if (a_capo != std::string::npos) {
      riga.assign(accumulo, 0, a_capo);
      accumulo.erase(0, a_capo + 1);
      if (!riga.empty() && riga.back() == '\r') riga.pop_back();
      return true;
    }
    if (finito) {
      if (accumulo.empty()) return false;
      riga.swap(accumulo);
      accumulo.clear();
      return true;
    }
    char blocco[4096];
    DWORD letti = 0;
    if (!ReadFile(g_entrata, blocco, sizeof blocco, &letti, nullptr) || letti == 0) {
      finito = true;
    } else {
      accumulo.append(blocco, letti);
    }
  }
}

}  // namespace cw::agente
