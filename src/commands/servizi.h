#pragma once
// The services the commands run on, made once for the program's life from
// the platform's own: where the window and the batch front end both start.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogo.h"
#include "commands/contesto.h"
#include "platform/servizi_piattaforma.h"
#include "registration/registratore.h"

namespace cw {

// How a front end makes the platform's services: CreaServiziPiattaforma of
// the platform it links.
using CreaPiattaforma = std::function<ServiziPiattaforma(const OpzioniPiattaforma&)>;

class Servizi {
 public:
  // Form_Initialize: the platform's services made by crea, then the
  // registration over its worker; boxes of the registration are shown
  // through ui.
  Servizi(Ui& ui, const OpzioniPiattaforma& opzioni, const CreaPiattaforma& crea);
  ~Servizi();
  Servizi(const Servizi&) = delete;
  Servizi& operator=(const Servizi&) = delete;

  // Form_Load, first step: the catalogue.
  void CaricaCatalogo();
  // Form_Load of both windows: the catalogue, then the saved settings into
  // the fields of ctx (kept as the version seen). A run-time error is shown
  // in a box and the window still opens; the log starts empty.
  void CaricaFinestra(cw::Contesto& ctx);

  // The box for a platform the tool cannot work on; "" when all is well.
  const std::string& Problema() const { return piattaforma_.problema; }
  std::optional<std::filesystem::path> TrovaProgramma(const std::string& programma) const {
    return piattaforma_.trovaProgramma(programma);
  }
  // The host folders no report or settings file named by the user may go
  // into (ServiziPiattaforma::cartelleUnita).
  std::vector<std::filesystem::path> CartelleUnita() const {
    return piattaforma_.cartelleUnita ? piattaforma_.cartelleUnita() : std::vector<std::filesystem::path>{};
  }
  const CatalogoComponenti& Catalogo() const { return catalogo_; }
  FileSystem& Fso() { return *piattaforma_.fso; }
  FileEsterni& Esterni() { return *piattaforma_.sistema.fileEsterni; }

  // A context over these services for the given fields and face.
  cw::Contesto Contesto(Ui& ui, Campi& campi);

 private:
  ServiziPiattaforma piattaforma_;
  CatalogoComponenti catalogo_;
  std::unique_ptr<RegistratoreDll> registratore_;
};

}  // namespace cw
