#include <cctype>

#include "base/ansi.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/riscrivi_file.h"

namespace cw {
namespace {

// Form files are told by the exact, case-sensitive ending of their name, so
// "X.FRM", "X.frx" and the copies "X.frm_tmp" are left alone.
bool FinisceCon(const std::string& nome, const std::string& finale) {
  return nome.size() >= finale.size() && nome.compare(nome.size() - finale.size(), finale.size(), finale) == 0;
}

}  // namespace

FileSuite ElencaFileSuite(FileSystem& fso, const CatalogoComponenti& catalogo) {
  const std::string finaleCopia = ".frm" + std::string(kSuffissoCopia);
  FileSuite suite;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    FileSuite::Riga& r = suite.righe.emplace_back();
    r.progetto = catalogo.FileProgettoCompleto(riga);
    // A copy is any entry of its name, a link or a folder too: the guard
    // must see it, and only "Ripristina file interrotti" tells them apart.
    if (const std::string copia = r.progetto + std::string(kSuffissoCopia); fso.Tipo(copia) != TipoVoce::Nessuna)
      suite.copie.push_back(copia);
    const std::string cartellaForm = catalogo(riga, kCartella) + "\\Form";
    if (!fso.FolderExists(cartellaForm)) continue;
    // One listing gives the form files and their leftover copies, and it is
    // taken before any copy is made in the folder.
    const FolderListing elenco = fso.GetFolder(cartellaForm);
    for (const std::string& nome : elenco.FileNames) {
      if (FinisceCon(nome, ".frm")) r.form.push_back(elenco.Path + "\\" + nome);
      if (FinisceCon(nome, finaleCopia)) suite.copie.push_back(elenco.Path + "\\" + nome);
    }
    for (const std::string& nome : elenco.AltreVoci)
      if (FinisceCon(nome, finaleCopia)) suite.copie.push_back(elenco.Path + "\\" + nome);
  }
  return suite;
}

RegolaRiga RegolaGuid(const std::string& vecchio, const std::string& nuovo) {
  return RegolaSottostringa(Utf8ToAnsi(vecchio), Utf8ToAnsi(nuovo));
}

std::vector<std::string> FileSostituzioneGuid(const FileSuite& suite) {
  std::vector<std::string> file;
  for (const FileSuite::Riga& r : suite.righe) {
    file.push_back(r.progetto);
    file.insert(file.end(), r.form.begin(), r.form.end());
  }
  return file;
}

std::vector<std::string> FileSostituzioneGuid(FileSystem& fso, const CatalogoComponenti& catalogo) {
  return FileSostituzioneGuid(ElencaFileSuite(fso, catalogo));
}

bool FormaGuid(std::string_view testo) {
  if (testo.size() == 38 && testo.front() == '{' && testo.back() == '}') testo = testo.substr(1, 36);
  if (testo.size() != 36) return false;
  for (size_t i = 0; i < testo.size(); ++i) {
    const bool trattino = i == 8 || i == 13 || i == 18 || i == 23;
    if (trattino ? testo[i] != '-' : !std::isxdigit(static_cast<unsigned char>(testo[i]))) return false;
  }
  return true;
}

FileCambiati SostituisciGuid(FileSystem& fso, const FileSuite& suite, const std::string& vecchio,
                             const std::string& nuovo) {
  // The rule tells whether it replaced anything in the file at hand: every
  // file is still rewritten, as before, but only those are counted.
  const RegolaRiga sostituisci = RegolaGuid(vecchio, nuovo);
  bool trovata = false;
  const RegolaRiga regola = [&](std::string riga) {
    std::string fuori = sostituisci(riga);
    trovata = trovata || fuori != riga;
    return fuori;
  };
  const auto riscrivi = [&](const std::string& file) {
    trovata = false;
    RiscriviFile(fso, file, regola);
    return trovata ? 1 : 0;
  };
  FileCambiati cambiati;
  const std::string* ultimo = nullptr;
  for (const FileSuite::Riga& r : suite.righe) {
    cambiati.progetti += riscrivi(r.progetto);
    ultimo = &r.progetto;
    for (const std::string& form : r.form) {
      cambiati.form += riscrivi(form);
      ultimo = &form;
    }
  }
  if (ultimo) FinePassaggio(fso, *ultimo);
  return cambiati;
}

FileCambiati SostituisciGuid(FileSystem& fso, const CatalogoComponenti& catalogo, const std::string& vecchio,
                             const std::string& nuovo) {
  // Rewriting a project file adds nothing to its "Form" folder, so the
  // listings may all be taken first.
  return SostituisciGuid(fso, ElencaFileSuite(fso, catalogo), vecchio, nuovo);
}

}  // namespace cw
