#pragma once
// A registration request: the library at the path is loaded and its entry
// point called, each step answered in the registration's words
// (registration/protocollo_worker.h).

#include <string>

namespace cw::agente {

// The library's folder comes first for its dependencies, as the system's
// registration program loads it.
void ServiRegistrazione(const std::string& entryPoint, const std::string& percorso);

// The system's own words for an error code, on one line, in UTF-8.
std::string MessaggioDiSistema(unsigned long codice);

}  // namespace cw::agente
