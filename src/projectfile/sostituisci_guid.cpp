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
    if (const std::string copia = r.progetto + std::string(kSuffissoCopia); fso.FileExists(copia))
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

void SostituisciGuid(FileSystem& fso, const std::vector<std::string>& file, const std::string& vecchio,
                     const std::string& nuovo) {
  const RegolaRiga regola = RegolaGuid(vecchio, nuovo);
  for (const std::string& f : file) RiscriviFile(fso, f, regola);
  if (!file.empty()) FinePassaggio(fso, file.back());
}

void SostituisciGuid(FileSystem& fso, const CatalogoComponenti& catalogo, const std::string& vecchio,
                     const std::string& nuovo) {
  // Rewriting a project file adds nothing to its "Form" folder, so the
  // listings may all be taken first.
  SostituisciGuid(fso, FileSostituzioneGuid(fso, catalogo), vecchio, nuovo);
}

}  // namespace cw
