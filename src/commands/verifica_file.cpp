#include "commands/verifica_file.h"

#include "base/errors.h"
#include "build/backup.h"
#include "projectfile/riscrivi_file.h"

namespace cw {
namespace {

constexpr size_t kCopieElencate = 10;

// The files rewritten in place, through a "_tmp" copy.
std::vector<std::string> FileRiscritti(const CatalogoComponenti& cat, const FileSuite& suite, const FileCoinvolti& c) {
  std::vector<std::string> file;
  for (int riga = cat.LBound(); riga <= cat.UBound(); ++riga) {
    const FileSuite::Riga& r = suite.righe[static_cast<size_t>(riga - cat.LBound())];
    if (c.progetti || (c.compatibilita && RigaConCompatibilita(cat, riga))) file.push_back(r.progetto);
    if (c.form) file.insert(file.end(), r.form.begin(), r.form.end());
  }
  return file;
}

std::string Copia(const std::string& file) { return file + std::string(kSuffissoCopia); }

std::string Elenco(const std::vector<std::string>& copie) {
  std::string testo =
      "Sono rimaste copie \"_tmp\" di un'esecuzione interrotta; nessun file è stato modificato. Per rimetterle al "
      "loro posto usare \"Ripristina file interrotti\" nel menu \"Strumenti\".\n";
  for (size_t i = 0; i < copie.size() && i < kCopieElencate; ++i) testo += "\n" + copie[i];
  if (copie.size() > kCopieElencate) testo += "\n... e altre " + std::to_string(copie.size() - kCopieElencate);
  return testo;
}

bool SenzaCopie(Contesto& ctx, const FileSuite& suite) {
  if (suite.copie.empty()) return true;
  ctx.ui.MsgBox(Elenco(suite.copie), kStileEsclamativo, kTitoloApplicazione);
  return false;
}

}  // namespace

bool VerificaCopie(Contesto& ctx) { return SenzaCopie(ctx, ElencaFileSuite(ctx.fso, ctx.catalogo)); }

bool VerificaFile(Contesto& ctx, const FileCoinvolti& coinvolti, FileSuite* elenco) {
  // Every copy counts, whatever the command writes: a file beside its copy
  // may be empty or half written, and reading it is as wrong as rewriting it.
  FileSuite suite = ElencaFileSuite(ctx.fso, ctx.catalogo);
  if (!SenzaCopie(ctx, suite)) return false;
  // Every project file is read, and each file written, before the first
  // row: a failure at row 40 would leave 39 rows done and the rest not.
  const CatalogoComponenti& cat = ctx.catalogo;
  for (int riga = cat.LBound(); riga <= cat.UBound() && coinvolti.backup; ++riga) {
    const std::string progetto = cat.FileProgettoCompleto(riga);
    if (!ctx.fso.FileExists(progetto)) SollevaErrore(kFileNonTrovato, progetto, progetto);
    for (int k = 1; k <= kGenerazioniBackup; ++k) ctx.fso.CheckWritable(GenerazioneBackup(progetto, k));
  }
  for (const std::string& file : FileRiscritti(cat, suite, coinvolti)) {
    if (!ctx.fso.FileExists(file)) SollevaErrore(kFileNonTrovato, file, file);
    ctx.fso.CheckWritable(file);
    ctx.fso.CheckWritable(Copia(file));
  }
  if (elenco) *elenco = std::move(suite);
  return true;
}

}  // namespace cw
