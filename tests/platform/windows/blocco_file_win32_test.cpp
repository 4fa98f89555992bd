#include "platform/windows/blocco_file_win32.h"

#include <gtest/gtest.h>

#include "platform/windows/cartella_prova.h"
#include "platform/windows/testo_wide.h"

namespace cw {
namespace {

TEST(BloccoFileWin32, UnaSolaIstanzaAllaVolta) {
  prova::CartellaProva dir;
  const std::filesystem::path file(Wide(dir / "compilawexo.lock"));
  BloccoFileWin32 primo(file), secondo(file);
  EXPECT_TRUE(primo.Prendi());
  EXPECT_TRUE(primo.Prendi());  // taken again by its holder
  EXPECT_FALSE(secondo.Prendi());
  primo.Lascia();
  EXPECT_TRUE(secondo.Prendi());
  // No folder for the lock file: no other instance either.
  EXPECT_TRUE(BloccoFileWin32(std::filesystem::path(Wide(dir / "manca\\x.lock"))).Prendi());
}

}  // namespace
}  // namespace cw
