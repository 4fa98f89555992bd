#pragma once
// The source files a project names: forms, modules and classes, written the
// way the development environment saves them. Texts are UTF-8 here; lines
// carry no line end (the caller joins them with CR LF).

#include <string>
#include <vector>

#include "dado.h"

namespace cw::sandbox {

// A control library a form can use, with the line the project file and the
// form file carry for it.
struct Ocx {
  const char* guid;      // "{831FDD16-...}#2.0#0"
  const char* file;      // "MSCOMCTL.OCX"
  const char* libreria;  // "MSComctlLib"
};
const std::vector<Ocx>& LibrerieOcx();

struct Form {
  std::string nome;         // "frmRicerca"
  std::string titolo;       // caption, UTF-8
  std::vector<int> ocx;     // indices into LibrerieOcx()
  bool principale = false;  // an application's main window
};

std::vector<std::string> TestoForm(const Form& form, Dado& dado);
// A standard module; with `avvio` it holds Sub Main, which shows `formIniziale`
// when there is one.
std::vector<std::string> TestoModulo(const std::string& nome, const std::string& componente,
                                     const std::string& descrizione, bool avvio, const std::string& formIniziale);
// A class module; `esposta` for the public classes of a component.
std::vector<std::string> TestoClasse(const std::string& nome, const std::string& descrizione, bool esposta, Dado& dado);

}  // namespace cw::sandbox
