#include "app/win32/menu_win32.h"

#include "commands/controlli.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {

HMENU CreaMenuStrumenti(std::map<int, std::string>& nomi) {
  HMENU strumenti = CreatePopupMenu();
  int id = kPrimoIdMenu;
  for (const VoceMenu& v : MenuStrumenti()) {
    if (!v.testo) {
      AppendMenuW(strumenti, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(strumenti, MF_STRING, static_cast<UINT_PTR>(id), Wide(v.testo).c_str());
    nomi[id++] = v.nome;
  }
  HMENU barra = CreateMenu();
  AppendMenuW(barra, MF_POPUP, reinterpret_cast<UINT_PTR>(strumenti), Wide(kTestoMenuStrumenti).c_str());
  return barra;
}

}  // namespace cw
