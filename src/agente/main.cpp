// compilawexo-agente.exe: the agent, the one Windows program of ours that
// serves what the tool does for Windows programs. Under Wine the Linux tool
// starts it once in the prefix and keeps it for a command (the window, while
// it is open), so Wine's start of a program is paid once, not twice a row:
// it starts programs with their exact command line (Wine started directly
// rebuilds the line from the words it was given), waits for them, reads the
// windows of one that has passed its limit, ends them with what they
// started, and calls the registration entry points of libraries. On Windows
// the tool uses it for the registration alone.
//
// It answers one request per line of its standard input until the input
// ends, in the workers' one protocol (base/protocollo_agente.h). A component
// that crashes it is reported and ends it; the tool starts a fresh one.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "agente/canali_agente.h"
#include "agente/programmi_agente.h"
#include "agente/registrazione_agente.h"
#include "base/protocollo_agente.h"
#include "registration/protocollo_worker.h"

namespace {

// A crash anywhere in an entry point ends here: report it and end at once,
// before Wine can offer its debugger. The programs' jobs end with the agent.
LONG WINAPI Eccezione(EXCEPTION_POINTERS* info) {
  char codice[16];
  std::snprintf(codice, sizeof codice, "%08lX",
                static_cast<unsigned long>(info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0));
  cw::agente::Riferisci(cw::worker::kEccezione, codice);
  ExitProcess(3);
  return EXCEPTION_EXECUTE_HANDLER;
}

std::vector<std::string> Parole(const std::string& riga) {
  std::vector<std::string> parole;
  size_t inizio = 0;
  for (size_t tab; (tab = riga.find(cw::worker::kSeparatore, inizio)) != std::string::npos; inizio = tab + 1)
    parole.push_back(riga.substr(inizio, tab - inizio));
  parole.push_back(riga.substr(inizio));
  return parole;
}

void Servi(const std::string& richiesta, cw::agente::ProgrammiAgente& programmi) {
  using Servizio = void (cw::agente::ProgrammiAgente::*)(const std::vector<std::string>&);
  static constexpr struct {
    const char* verbo;
    Servizio servizio;
  } kServizi[] = {
      {cw::worker::kAvvia, &cw::agente::ProgrammiAgente::Avvia},
      {cw::worker::kAttendi, &cw::agente::ProgrammiAgente::Attendi},
      {cw::worker::kFinestre, &cw::agente::ProgrammiAgente::Finestre},
      {cw::worker::kTermina, &cw::agente::ProgrammiAgente::Termina},
      {cw::worker::kChiudi, &cw::agente::ProgrammiAgente::Chiudi},
  };
  std::vector<std::string> parole = Parole(richiesta);
  const std::string verbo = parole.front();
  parole.erase(parole.begin());
  for (const auto& s : kServizi)
    if (verbo == s.verbo) return (programmi.*s.servizio)(parole);
  // Any other verb is an entry point's name, its one argument the library
  // (no path holds a tab); without one the request is refused.
  cw::agente::ServiRegistrazione(parole.empty() ? std::string() : verbo, parole.empty() ? std::string() : parole[0]);
}

}  // namespace

int main() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(Eccezione);
  if (!cw::agente::TieniCanali()) return cw::worker::kUscitaUso;
  cw::agente::Riferisci(cw::worker::kPronto);
  cw::agente::ProgrammiAgente programmi;
  std::string richiesta;
  while (cw::agente::LeggiRiga(richiesta))
    if (!richiesta.empty()) Servi(richiesta, programmi);
  return 0;
}
