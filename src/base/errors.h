#pragma once
// Run-time errors: a failing file, folder or process operation stops the
// running command with a Visual Basic error number and its Italian text.
// The click dispatcher of the window (and the batch front end) catch it.

#include <stdexcept>
#include <string>
#include <string_view>

namespace cw {

// The error numbers the platform raises.
enum ErroreVb : int {
  kChiamataNonValida = 5,
  kOverflow = 6,
  kIndiceFuoriIntervallo = 9,
  kTipoNonCorrispondente = 13,
  kNomeFileNonValido = 52,
  kFileNonTrovato = 53,
  kErroreIo = 57,
  kFileGiaEsistente = 58,
  kDiscoPieno = 61,
  kInputOltreFine = 62,
  kAutorizzazioneNegata = 70,
  kErroreAccessoPercorso = 75,
  kPercorsoNonTrovato = 76,
};

// The Italian description of an error number ("" for numbers we never raise).
std::string DescrizioneErrore(int numero);

class ErroreRuntime : public std::runtime_error {
 public:
  // percorso: the Windows path of the file the failing operation concerned
  // (or the title of a window that was not found); "" when there is none.
  explicit ErroreRuntime(int numero, std::string dettaglio = {}, std::string percorso = {});
  int Numero() const { return numero_; }
  const std::string& Descrizione() const { return descrizione_; }
  // Free text for developers (the host path, errno text); never shown in the box.
  const std::string& Dettaglio() const { return dettaglio_; }
  const std::string& Percorso() const { return percorso_; }
  // "Errore di run-time '53':\n\nImpossibile trovare il file", as the box shows
  // it, then an empty line and the path when there is one: the user must not
  // have to guess between "X.vbp", "X.vbp_tmp" and "X.vbp_1".
  std::string TestoMessaggio() const;

 private:
  int numero_;
  std::string descrizione_;
  std::string dettaglio_;
  std::string percorso_;
};

// A Windows program that this host cannot start at all (a 32-bit one where
// no 32-bit program runs, or Wine failing before the program began): the
// command ends with a critical box saying why, and counts as failed.
class ErroreAvvioWindows : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] void SollevaErrore(int numero, std::string dettaglio = {}, std::string percorso = {});
// The error of an operation on the file (or folder) at a Windows path.
[[noreturn]] void SollevaErrorePercorso(int numero, std::string_view percorso);

// Maps an errno value of a failed host call to the error Windows would give.
int ErroreDaErrno(int err, bool percorso_mancante_e_cartella);

}  // namespace cw
