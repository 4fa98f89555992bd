#include "app/win32/menu_win32.h"

#include "platform/windows/testo_wide_win32.h"

namespace cw {

namespace {

struct Voce {
  const char* nome;  // nullptr: a separator
  const char* testo;
};

constexpr Voce kVoci[] = {
    {"mnuGeneraVbg", "Genera .vbg"},
    {"mnuVbBuild", "Vb-Build"},
    {nullptr, nullptr},
    {"mnuIndirizziBaseDll", "Indirizzi di base DLL"},
    {"mnuSovrapposizioniDll", "Sovrapposizioni indirizzi DLL"},
    {"mnuApplicaIndirizziDll", "Applica indirizzi proposti"},
    {"mnuRipristina", "Ripristina file interrotti"},
    {nullptr, nullptr},
    {"mnuAnteprimaModifiche", "Anteprima modifiche"},
    {"mnuRiprendiCompilazione", "Riprendi compilazione"},
};

}  // namespace

HMENU CreaMenuStrumenti(std::map<int, std::string>& nomi) {
  HMENU strumenti = CreatePopupMenu();
  int id = kPrimoIdMenu;
  for (const Voce& v : kVoci) {
    if (!v.nome) {
      AppendMenuW(strumenti, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(strumenti, MF_STRING, static_cast<UINT_PTR>(id), Wide(v.testo).c_str());
    nomi[id++] = v.nome;
  }
  HMENU barra = CreateMenu();
  AppendMenuW(barra, MF_POPUP, reinterpret_cast<UINT_PTR>(strumenti), L"Strumenti");
  return barra;
}

}  // namespace cw
