#include "platform/ansi.h"
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

std::vector<std::string> FileFormRiga(FileSystem& fso, const CatalogoComponenti& catalogo, int riga,
                                      const std::string& finale) {
  std::vector<std::string> file;
  const std::string cartellaForm = catalogo(riga, kCartella) + "\\Form";
  if (!fso.FolderExists(cartellaForm)) return file;
  // The listing is taken once, before any copy is made in the folder.
  const FolderListing elenco = fso.GetFolder(cartellaForm);
  for (const std::string& nome : elenco.FileNames)
    if (FinisceCon(nome, finale)) file.push_back(elenco.Path + "\\" + nome);
  return file;
}

RegolaRiga RegolaGuid(const std::string& vecchio, const std::string& nuovo) {
  return RegolaSottostringa(Utf8ToAnsi(vecchio), Utf8ToAnsi(nuovo));
}

std::vector<std::string> FileSostituzioneGuid(FileSystem& fso, const CatalogoComponenti& catalogo) {
  std::vector<std::string> file;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    file.push_back(catalogo.FileProgettoCompleto(riga));
    for (std::string& form : FileFormRiga(fso, catalogo, riga)) file.push_back(std::move(form));
  }
  return file;
}

void SostituisciGuid(FileSystem& fso, const CatalogoComponenti& catalogo, const std::string& vecchio,
                     const std::string& nuovo) {
  const RegolaRiga regola = RegolaGuid(vecchio, nuovo);
  // Rewriting a project file adds nothing to its "Form" folder, so the
  // listings may all be taken first.
  for (const std::string& file : FileSostituzioneGuid(fso, catalogo)) RiscriviFile(fso, file, regola);
}

}  // namespace cw
