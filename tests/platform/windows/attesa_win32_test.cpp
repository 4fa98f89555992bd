// AttesaWin32: which handle a wait answers with.

#include "platform/windows/attesa_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace cw {
namespace {

TEST(AttesaWin32, TheSignalledOneATimeOutOrAFailure) {
  HANDLE eventi[] = {CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  const OggettoAttesa oggetti[] = {reinterpret_cast<OggettoAttesa>(eventi[0]),
                                   reinterpret_cast<OggettoAttesa>(eventi[1])};
  AttesaWin32 attesa;
  const struct {
    const char* passo;
    HANDLE segnala;  // null: none
    int atteso;
  } casi[] = {
      {"none signalled", nullptr, kAttesaScaduta},
      {"the second signalled", eventi[1], 1},
      {"both signalled: the first", eventi[0], 0},
  };
  for (const auto& c : casi) {
    if (c.segnala) SetEvent(c.segnala);
    EXPECT_EQ(attesa.Aspetta(oggetti, 2, 20), c.atteso) << c.passo;
  }
  const OggettoAttesa nessuno[] = {0};
  EXPECT_EQ(attesa.Aspetta(nessuno, 1, 20), kAttesaFallita);
  for (HANDLE h : eventi) CloseHandle(h);
}

}  // namespace
}  // namespace cw
