#pragma once
// The window's fields that the commands read and write (their table is
// settings/tabella_campi.h). The Qt window reads its widgets; the batch front
// end and the tests keep plain values.

#include <cstddef>
#include <string>

#include "projectfile/compatibilita.h"
#include "settings/tabella_campi.h"

namespace cw {

// The option group of the compatibility, "Nessuna" first, and the word the
// batch mode takes for each of its buttons.
struct DescrizioneOpzione {
  Compatibilita modo;
  const char* controllo;  // "optTipoCompatibilitaNessuna"
  const char* parola;     // "nessuna"
};

inline constexpr DescrizioneOpzione kOpzioniCompatibilita[] = {
    {Compatibilita::Nessuna, "optTipoCompatibilitaNessuna", "nessuna"},
    {Compatibilita::Progetto, "optTipoCompatibilitaProgetto", "progetto"},
    {Compatibilita::Binaria, "optTipoCompatibilitaBinaria", "binaria"},
};

constexpr const DescrizioneOpzione& OpzioneDi(Compatibilita modo) {
  return kOpzioniCompatibilita[static_cast<std::size_t>(modo)];
}
static_assert(OpzioneDi(Compatibilita::Nessuna).modo == Compatibilita::Nessuna &&
                  OpzioneDi(Compatibilita::Progetto).modo == Compatibilita::Progetto &&
                  OpzioneDi(Compatibilita::Binaria).modo == Compatibilita::Binaria,
              "one row per mode, in the order of its value");

// Selected at start, and again once the settings are read.
inline constexpr Compatibilita kCompatibilitaPredefinita = Compatibilita::Binaria;

class Campi {
 public:
  virtual ~Campi() = default;
  virtual std::string Testo(Campo campo) const = 0;  // UTF-8
  virtual void ImpostaTesto(Campo campo, const std::string& testo) = 0;
  // optTipoCompatibilitaNessuna / ...Progetto / ...Binaria: is it selected?
  virtual bool OpzioneSelezionata(Compatibilita opzione) const = 0;
  virtual void SelezionaOpzione(Compatibilita opzione) = 0;
  // chkIncrementoAutomatico: 0 clear, 1 checked, 2 greyed.
  virtual int ValoreIncrementoAutomatico() const = 0;
  virtual void ImpostaIncrementoAutomatico(int valore) = 0;
};

// Fields held as plain values.
class CampiInMemoria : public Campi {
 public:
  std::string Testo(Campo campo) const override { return testi_[static_cast<int>(campo)]; }
  void ImpostaTesto(Campo campo, const std::string& testo) override { testi_[static_cast<int>(campo)] = testo; }
  bool OpzioneSelezionata(Compatibilita opzione) const override { return opzione_ == opzione; }
  void SelezionaOpzione(Compatibilita opzione) override { opzione_ = opzione; }
  int ValoreIncrementoAutomatico() const override { return incremento_; }
  void ImpostaIncrementoAutomatico(int valore) override { incremento_ = valore; }

 private:
  std::string testi_[kNumeroCampi];
  Compatibilita opzione_ = kCompatibilitaPredefinita;
  int incremento_ = 0;
};

}  // namespace cw
