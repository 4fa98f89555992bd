#pragma once
// The host's own services as the front ends have them (the settings file's
// real reads and writes), made once for a test program.

#include "platform/servizi_piattaforma.h"

namespace cw::test {

inline const ServiziSistema& SistemaDiProva() {
  static const ServiziSistema sistema = CreaServiziSistema();
  return sistema;
}

// The settings file's calls of the platform built for.
inline Profilo& ProfiloDiProva() { return *SistemaDiProva().profilo; }

}  // namespace cw::test
