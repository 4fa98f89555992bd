// The platform's services on Windows itself: the system's own, with no
// prefix to check. The instance lock is taken on the suite's root folder, so
// two copies of the tool installed apart still keep off each other.

#include <windows.h>

#include <cstdlib>

#include "platform/servizi_piattaforma.h"
#include "platform/tracciati.h"
#include "platform/windows/blocco_prefisso_win32.h"
#include "platform/windows/cartelle_programma_win32.h"
#include "platform/windows/console_win32.h"
#include "platform/windows/file_esterni_win32.h"
#include "platform/windows/filesystem_win32.h"
#include "platform/windows/fine_su_segnale_win32.h"
#include "platform/windows/keyboard_win32.h"
#include "platform/windows/pausa_win32.h"
#include "platform/windows/processi_win32.h"
#include "platform/windows/profilo_win32.h"
#include "platform/windows/schermata_win32.h"
#include "platform/windows/testo_wide_win32.h"
#include "platform/windows/traccia_win32.h"
#include "platform/windows/trasporto_worker_win32.h"
#include "platform/windows/trova_programma_win32.h"

namespace cw {

ServiziSistema CreaServiziSistema() {
  ServiziSistema s;
  s.profilo = std::make_unique<ProfiloWin32>();
  s.pausa = std::make_unique<PausaWin32>();
  s.cartelle = std::make_unique<CartelleProgrammaWin32>();
  s.console = std::make_unique<ConsoleWin32>();
  s.segnali = std::make_unique<SegnaliWin32>();
  s.fileEsterni = std::make_unique<FileEsterniWin32>();
  return s;
}

std::unique_ptr<Traccia> CreaTraccia(bool debug, std::string& errore) {
  // The wide environment: a file name is not narrowed to the ANSI code page.
  if (const wchar_t* file = _wgetenv(L"COMPILAWEXO_DEBUG"); file && *file)
    return TracciaWin32::SuFile(Utf8(file), errore);
  if (!debug) return nullptr;
  const HANDLE errori = GetStdHandle(STD_ERROR_HANDLE);
  const bool valido = errori && errori != INVALID_HANDLE_VALUE && GetFileType(errori) != FILE_TYPE_UNKNOWN;
  return std::make_unique<TracciaWin32>(valido ? errori : nullptr, false);
}

ServiziPiattaforma CreaServiziPiattaforma(const OpzioniPiattaforma& opzioni) {
  const std::filesystem::path cartella = CartellaEseguibile();
  ServiziPiattaforma s;
  s.sistema = CreaServiziSistema();
  s.fso = std::make_unique<FileSystemWin32>();
  s.processi = std::make_unique<ProcessiWin32>(opzioni.attesa);
  s.schermo = std::make_unique<SchermoWin32>();
  s.workers = std::make_unique<AvvioWorkerWin32>(cartella / kNomeAgente);
  s.tastiera = std::make_unique<KeyboardWin32>();
  s.blocco = std::make_unique<BloccoPrefissoWin32>(opzioni.radiceSuite);
  s.trovaProgramma = [](const std::string& programma) { return TrovaProgrammaWin32(programma); };
  // The drives are the host's own: the suite's folder is what a report must not replace a file of.
  s.cartelleUnita = [radice = opzioni.radiceSuite] { return std::vector<std::filesystem::path>{radice}; };
  TracciaServizi(s);
  return s;
}

}  // namespace cw
