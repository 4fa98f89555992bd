#pragma once
// Everything a command of the window works with: the catalogue, the fields,
// the window's face and the platform services. The window (or the batch
// front end) owns all of it; a command only borrows.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "commands/campi.h"
#include "platform/blocco_prefisso.h"
#include "platform/filesystem.h"
#include "platform/keyboard.h"
#include "platform/processi.h"
#include "platform/schermo.h"
#include "platform/servizi_piattaforma.h"
#include "registration/registratore.h"

namespace cw {

// The four version settings (the check box's and the three version fields'
// keys, settings/tabella_campi.h) as values of the fields they fill.
struct VersioneSalvata {
  int incremento = 0;  // chkIncrementoAutomatico: 1 ticked, 0 clear
  std::string principale, secondario, revisione;
  bool operator==(const VersioneSalvata&) const = default;
};

struct Contesto {
  FileSystem& fso;
  const CatalogoComponenti& catalogo;
  Ui& ui;
  Campi& campi;
  // The host's own: the settings file's reads and writes, the plain wait,
  // the program's folder.
  const ServiziSistema& sistema;
  Processi* processi = nullptr;  // compile, Notepad, EXE servers
  Schermo* schermo = nullptr;    // a build past its limit
  RegistratoreDll* registratore = nullptr;
  Keyboard* tastiera = nullptr;  // Vb-Build
  // The settings file's host path, asked anew for every value; none: the
  // program's own folder with "WexoUty.ini" appended.
  std::function<std::string()> fileIni = nullptr;
  // Waits of Attendi, in milliseconds (tests shorten them; the window never does).
  std::function<void(int ms)> attendi = nullptr;
  // The full build run shows the error file through this command line's viewer.
  std::string visualizzatore = "Notepad.exe";
  // When set, shows the error file in place of the viewer program (the batch
  // front end prints it); returns once the user has seen it.
  std::function<void(const std::string& fileErrori)> mostraFileErrori = nullptr;
  // Held by every command that writes, for as long as it runs; none: no lock.
  BloccoPrefisso* blocco = nullptr;
  // The program the lock's record names to a refused instance.
  std::string programma = "compilawexo";
  // Shows the text of "Anteprima modifiche" (UTF-8); none: it is not shown.
  std::function<void(const std::string& testo)> mostraAnteprima = nullptr;
  // Gets the full run's compile results as a JUnit report (UTF-8 XML) as soon
  // as the compile is over; false when it could not keep it (it has said why
  // and the run ends as failed); none: no report is made.
  std::function<bool(const std::string& xml)> rapportoJUnit = nullptr;
  // A window stays open for days while another instance (the batch mode in
  // CI) may save a newer version. Set by the window to what its fields last
  // got from the settings file or gave to it, the commands that stamp or save
  // the version compare the file with it first (commands/versione_vista.h).
  // None: no comparison (the batch mode reads the settings for every run).
  std::optional<VersioneSalvata> versioneVista = std::nullopt;
  // The seconds a build of the full run may take, given on the batch command
  // line; none: the settings key "LimiteCompilazione" (absent: no limit).
  std::optional<std::uint32_t> limiteCompilazione = std::nullopt;
  // The batch mode's --paralleli: builds at once; none: the settings key.
  std::optional<int> paralleli = std::nullopt;

  std::string FileIni() const;
};

}  // namespace cw
