#pragma once
// The programs the agent starts for the tool, each named by a number of its
// own, each in a job that ends with the agent: a tool that ends, or ends the
// agent, leaves none of them running.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace cw::agente {

class ProgrammiAgente {
 public:
  ProgrammiAgente() = default;
  ProgrammiAgente(const ProgrammiAgente&) = delete;
  ProgrammiAgente& operator=(const ProgrammiAgente&) = delete;
  // Closing a job ends what is still in it.
  ~ProgrammiAgente();

  // Each serves one request of the programs (base/protocollo_agente.h),
  // its words already split from the line, and answers it.
  void Avvia(const std::vector<std::string>& argomenti);
  void Attendi(const std::vector<std::string>& argomenti);
  void Finestre(const std::vector<std::string>& argomenti);
  void Termina(const std::vector<std::string>& argomenti);
  void Chiudi(const std::vector<std::string>& argomenti);

 private:
  struct Programma {
    HANDLE processo = nullptr;
    HANDLE lavoro = nullptr;  // null where no job could be made
    DWORD pid = 0;
  };
  // The program a request names (its number in numero); null for none.
  Programma* Trova(const std::vector<std::string>& argomenti, unsigned long* numero = nullptr);
  static void Rilascia(Programma& programma);

  std::map<unsigned long, Programma> programmi_;
  unsigned long prossimo_ = 1;
};

}  // namespace cw::agente
