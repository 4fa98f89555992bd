// The Linux platform: every service over the drives of the Wine-style
// prefix named by $WINEPREFIX (or ~/.wine).

#include <unistd.h>

#include <cstdlib>

#include "platform/linux/agente_linux.h"
#include "platform/linux/avviso_wine_linux.h"
#include "platform/linux/blocco_prefisso_linux.h"
#include "platform/linux/cartelle_programma_linux.h"
#include "platform/linux/console_linux.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/file_esterni_linux.h"
#include "platform/linux/filesystem_linux.h"
#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/impostazioni_linux.h"
#include "platform/linux/keyboard_linux.h"
#include "platform/linux/pausa_linux.h"
#include "platform/linux/prefisso_linux.h"
#include "platform/linux/processi_linux.h"
#include "platform/linux/profilo_linux.h"
#include "platform/linux/ricerca_programmi_linux.h"
#include "platform/linux/schermata_linux.h"
#include "platform/linux/traccia_linux.h"
#include "platform/linux/trasporto_worker_linux.h"
#include "platform/servizi_piattaforma.h"
#include "platform/tracciati.h"

namespace cw {

ServiziSistema CreaServiziSistema() {
  ServiziSistema s;
  s.profilo = std::make_unique<ProfiloLinux>();
  s.pausa = std::make_unique<PausaLinux>();
  s.cartelle = std::make_unique<CartelleProgrammaLinux>();
  s.console = std::make_unique<ConsoleLinux>();
  s.segnali = std::make_unique<SegnaliLinux>();
  s.fileEsterni = std::make_unique<FileEsterniLinux>();
  return s;
}

std::unique_ptr<Traccia> CreaTraccia(bool debug, std::string& errore) {
  if (const char* file = std::getenv("COMPILAWEXO_DEBUG"); file && *file) return TracciaLinux::SuFile(file, errore);
  if (debug) return std::make_unique<TracciaLinux>(STDERR_FILENO, false);
  return nullptr;
}

namespace {

// The lock is on the suite's root as this prefix's drives lead to it, as on
// Windows: two prefixes whose C: is one folder exclude each other. Without
// that root (a command then stops at its first file) it is drive C:, then
// the prefix itself.
std::filesystem::path CartellaBlocco(const DriveTable& unita, const std::string& radice) {
  std::error_code ec;
  if (const auto r = radice.empty() ? std::nullopt : unita.Resolve(radice); r && std::filesystem::is_directory(*r, ec))
    return *r;
  if (const auto c = unita.DriveRoot('c'); c && std::filesystem::is_directory(*c, ec)) return *c;
  return unita.Prefix();
}

}  // namespace

ServiziPiattaforma CreaServiziPiattaforma(const OpzioniPiattaforma& opzioni) {
  const DriveTable unita = DriveTable::FromEnvironment();
  ServiziPiattaforma s;
  s.sistema = CreaServiziSistema();
  ImpostaAvvisoAvvioWine(opzioni.avvioWine);
  s.problema = ProblemaPrefisso(unita, opzioni.programma);
  s.fso = std::make_unique<FileSystemLinux>(unita);
  // One agent in the prefix for the command (the window's life), shared by
  // the programs and the registrations.
  auto agente = std::make_shared<AgenteLinux>(unita);
  s.workers = std::make_unique<AvvioWorkerLinux>(unita, PercorsoWorkerPredefinito(), agente);
  s.blocco = std::make_unique<BloccoPrefissoLinux>(CartellaBlocco(unita, opzioni.radiceSuite));
  // The display is opened at the first keystroke, so the tool starts (and
  // Vb-Build reports error 5) where X11 is missing.
  s.tastiera = std::make_unique<KeyboardLinux>();
  s.fileImpostazioni = [unita] { return FileImpostazioniLinux(unita); };
  s.trovaProgramma = [ricerca = RicercaProgrammiLinux(unita)](const std::string& programma) {
    return ricerca.Trova(programma);
  };
  s.cartelleUnita = [unita] { return unita.CartelleUnita(); };
  ProcessiLinux::Opzioni processi;
  processi.attesa = opzioni.attesa;
  processi.agente = agente;
  s.processi = std::make_unique<ProcessiLinux>(unita, std::move(processi));
  s.schermo = std::make_unique<SchermoLinux>(unita);
  TracciaServizi(s);
  return s;
}

}  // namespace cw
