#include "base/errors.h"

#include <cerrno>

namespace cw {

std::string DescrizioneErrore(int numero) {
  switch (numero) {
    case 5: return "Chiamata di routine o argomento non valido";
    case 6: return "Overflow";
    case 9: return "Indice non compreso nell'intervallo";
    case 13: return "Tipo non corrispondente";
    case 52: return "Nome o numero di file non valido";
    case 53: return "Impossibile trovare il file";
    case 57: return "Errore di I/O della periferica";
    case 58: return "File già esistente";
    case 61: return "Disco pieno";
    case 62: return "Input oltre la fine del file";
    case 70: return "Autorizzazione negata";
    case 75: return "Errore di accesso al percorso/file";
    case 76: return "Impossibile trovare il percorso";
    default: return {};
  }
}

ErroreRuntime::ErroreRuntime(int numero, std::string dettaglio, std::string percorso)
    : std::runtime_error("Errore di run-time '" + std::to_string(numero) + "': " + DescrizioneErrore(numero) +
                         (dettaglio.empty() ? "" : " (" + dettaglio + ")")),
      numero_(numero),
      descrizione_(DescrizioneErrore(numero)),
      dettaglio_(std::move(dettaglio)),
      percorso_(std::move(percorso)) {}

std::string ErroreRuntime::TestoMessaggio() const {
  std::string testo = "Errore di run-time '" + std::to_string(numero_) + "':\n\n" + descrizione_;
  if (!percorso_.empty()) testo += "\n\n" + percorso_;
  return testo;
}

void SollevaErrore(int numero, std::string dettaglio, std::string percorso) {
  throw ErroreRuntime(numero, std::move(dettaglio), std::move(percorso));
}

void SollevaErrorePercorso(int numero, std::string_view percorso) {
  SollevaErrore(numero, std::string(percorso), std::string(percorso));
}

int ErroreDaErrno(int err, bool percorso_mancante_e_cartella) {
  switch (err) {
    case ENOENT: return percorso_mancante_e_cartella ? kPercorsoNonTrovato : kFileNonTrovato;
    case ENOTDIR: return kPercorsoNonTrovato;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return kAutorizzazioneNegata;
    case EEXIST: return kFileGiaEsistente;
#ifdef EDQUOT  // no quotas on Windows
    case EDQUOT:
#endif
    case ENOSPC: return kDiscoPieno;
    case EISDIR: return kErroreAccessoPercorso;
    case ENAMETOOLONG:
    case EINVAL: return kNomeFileNonValido;
    default: return kErroreIo;
  }
}

}  // namespace cw
