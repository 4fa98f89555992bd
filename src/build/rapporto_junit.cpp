#include "build/rapporto_junit.h"

#include <cstdio>

#include "base/ansi.h"
#include "base/errors.h"

namespace cw {
namespace {

std::string Xml(const std::string& testo) {
  std::string out;
  out.reserve(testo.size());
  for (char c : testo) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // The C0 controls but tab, LF and CR are not XML characters.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
  }
  return out;
}

std::string Secondi(double s) {
  char testo[32];
  std::snprintf(testo, sizeof testo, "%.3f", s < 0 ? 0.0 : s);
  return testo;
}

// The path with every link of it that exists resolved.
std::filesystem::path Risolto(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path assoluto = std::filesystem::absolute(file, ec);
  if (ec) return file;
  std::filesystem::path vero = std::filesystem::weakly_canonical(assoluto, ec);
  return ec ? assoluto : vero;
}

}  // namespace

std::string RapportoRifiutato(const std::filesystem::path& file, const std::vector<std::filesystem::path>& cartelle) {
  namespace fs = std::filesystem;
  const fs::path vero = Risolto(file);
  for (const fs::path& cartella : cartelle) {
    const fs::path resto = vero.lexically_relative(Risolto(cartella));
    if (!resto.empty() && *resto.begin() != "..")
      return "il rapporto JUnit non può stare dentro " + cartella.string() +
             ", tra i file su cui lavora il programma: " + file.string();
  }
  std::error_code ec;
  const fs::file_status stato = fs::status(vero, ec);
  if (fs::exists(stato) && !fs::is_regular_file(stato))
    return "il rapporto JUnit non può prendere il posto di " + file.string() +
           ": non è un file (una cartella, un dispositivo)";
  return {};
}

std::string ScriviRapportoJUnit(FileEsterni& esterni, const std::filesystem::path& file, const std::string& xml) {
  namespace fs = std::filesystem;
  const fs::path vero = Risolto(file);
  std::error_code ec;
  // A folder or a device is never renamed over.
  if (const fs::file_status stato = fs::status(vero, ec); fs::exists(stato) && !fs::is_regular_file(stato))
    return "non è un file";
  const int errore = esterni.SostituisciIntero(vero, xml);
  if (errore == 0) return {};
  const std::string testo = DescrizioneErrore(errore);
  return testo.empty() ? "errore di scrittura" : testo;
}

std::string RapportoJUnit(const std::vector<EsitoCompilazione>& righe) {
  using Stato = EsitoCompilazione::Stato;
  int falliti = 0, saltati = 0;
  double totale = 0;
  std::string casi;
  for (const EsitoCompilazione& r : righe) {
    totale += r.secondi;
    casi += "    <testcase classname=\"" + Xml(r.cartella) + "\" name=\"" + Xml(r.fileProgetto) + "\" time=\"" +
            Secondi(r.secondi) + "\"";
    switch (r.stato) {
      case Stato::Compilato: casi += "/>\n"; break;
      case Stato::Fallito:
        ++falliti;
        casi += ">\n      <failure message=\"Compilazione non riuscita\">" + Xml(r.rapporto) +
                "</failure>\n    </testcase>\n";
        break;
      case Stato::NonCompilato:
      case Stato::Marcatore:
        ++saltati;
        casi += ">\n      <skipped/>\n    </testcase>\n";
        break;
    }
  }
  const std::string conti = "tests=\"" + std::to_string(righe.size()) + "\" failures=\"" + std::to_string(falliti) +
                            "\" errors=\"0\" skipped=\"" + std::to_string(saltati) + "\" time=\"" + Secondi(totale) +
                            "\"";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites " + conti + ">\n  <testsuite name=\"CompilaWexo\" " +
         conti + ">\n" + casi + "  </testsuite>\n</testsuites>\n";
}

std::vector<EsitoCompilazione> EsitiCompilazione(const CatalogoComponenti& catalogo,
                                                 const std::vector<RigaCompilata>& compilate, int rigaFallita) {
  using Stato = EsitoCompilazione::Stato;
  std::vector<EsitoCompilazione> esiti;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    EsitoCompilazione e;
    e.cartella = catalogo(riga, kCartella);
    e.fileProgetto = catalogo(riga, kFileProgetto);
    if (catalogo(riga, kTipo).ends_with("-skipcompile")) e.stato = Stato::Marcatore;
    for (const RigaCompilata& c : compilate) {
      if (c.riga != riga) continue;
      e.secondi = c.secondi;
      e.stato = riga == rigaFallita ? Stato::Fallito : Stato::Compilato;
      if (riga == rigaFallita) e.rapporto = AnsiToUtf8(c.rapporto);
    }
    esiti.push_back(std::move(e));
  }
  return esiti;
}

}  // namespace cw
