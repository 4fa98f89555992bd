// Where the settings file is on Linux: in the prefix, found as Windows finds
// a path, or where COMPILAWEXO_IMPOSTAZIONI says.

#include "platform/linux/impostazioni_linux.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

TEST(FileImpostazioniLinux, InThePrefixFoundAsWindowsFindsItOrWhereTheVariableSays) {
  const struct {
    const char* caso;
    std::vector<std::string> cartelle;  // made in the prefix, relative to it
    const char* variabile;              // COMPILAWEXO_IMPOSTAZIONI; nullptr: unset
    std::string atteso;                 // relative to the prefix, or a host path starting with "/"
  } casi[] = {
      {"fresh prefix", {}, nullptr, "drive_c/Programmi/CompilaWexo/WexoUty.ini"},
      {"empty variable", {}, "", "drive_c/Programmi/CompilaWexo/WexoUty.ini"},
      {"variable", {}, "/altrove/mie.ini", "/altrove/mie.ini"},
      {"folder in another case", {"drive_c/programmi"}, nullptr, "drive_c/programmi/CompilaWexo/WexoUty.ini"},
      {"both folders", {"drive_c/PROGRAMMI/compilawexo"}, nullptr, "drive_c/PROGRAMMI/compilawexo/WexoUty.ini"},
      {"the file", {"drive_c/Programmi/CompilaWexo/wexouty.ini"}, nullptr, "drive_c/Programmi/CompilaWexo/wexouty.ini"},
      {"drive C: elsewhere", {"altro_c/Programmi", "!c:altro_c"}, nullptr, "altro_c/Programmi/CompilaWexo/WexoUty.ini"},
      {"no drive C:", {"!c:"}, nullptr, "drive_c/Programmi/CompilaWexo/WexoUty.ini"},
  };
  for (const auto& c : casi) {
    test::PrefissoTemporaneo prefisso;
    for (const std::string& cartella : c.cartelle) {
      if (cartella.starts_with("!c:")) {
        // The link of drive C: pointed elsewhere, or removed.
        fs::remove(prefisso.Dir() / "dosdevices" / "c:");
        if (cartella.size() > 3)
          fs::create_directory_symlink("../" + cartella.substr(3), prefisso.Dir() / "dosdevices" / "c:");
      } else if (cartella.ends_with(".ini")) {
        fs::create_directories((prefisso.Dir() / cartella).parent_path());
        test::ScriviFile(prefisso.Dir() / cartella, "");
      } else {
        fs::create_directories(prefisso.Dir() / cartella);
      }
    }
    if (c.variabile)
      ::setenv(kVariabileImpostazioni, c.variabile, 1);
    else
      ::unsetenv(kVariabileImpostazioni);
    const std::string atteso = c.atteso.starts_with("/") ? c.atteso : (prefisso.Dir() / c.atteso).string();
    EXPECT_EQ(FileImpostazioniLinux(DriveTable(prefisso.Dir())), atteso) << c.caso;
    ::unsetenv(kVariabileImpostazioni);
  }
}

}  // namespace
}  // namespace cw
