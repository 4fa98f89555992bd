#pragma once
// The window's fields that the commands read and write. The Qt window reads
// its widgets; the batch front end and the tests keep plain values.

#include <string>

#include "projectfile/compatibilita.h"

namespace cw {

enum class Campo {
  txtVersionePrincipale,
  txtVersioneSecondario,
  txtVersioneRevisione,
  txtCommenti,
  txtCopyRight,
  txtNomeProdotto,
  txtNomeSocieta,
  txtGuidOld,
  txtGuidNew,
};

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
  std::string testi_[9];
  Compatibilita opzione_ = Compatibilita::Binaria;
  int incremento_ = 0;
};

}  // namespace cw
