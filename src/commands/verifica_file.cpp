#include "commands/verifica_file.h"

#include "build/backup.h"
#include "platform/errors.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/riscrivi_file.h"

namespace cw {
namespace {

constexpr size_t kCopieElencate = 10;

// The files rewritten in place, through a "_tmp" copy.
std::vector<std::string> FileRiscritti(Contesto& ctx, const FileCoinvolti& c) {
  std::vector<std::string> file;
  const CatalogoComponenti& cat = ctx.catalogo;
  for (int riga = cat.LBound(); riga <= cat.UBound(); ++riga) {
    if (c.progetti || (c.compatibilita && RigaConCompatibilita(cat, riga)))
      file.push_back(cat.FileProgettoCompleto(riga));
    if (c.form)
      for (std::string& form : FileFormRiga(ctx.fso, cat, riga)) file.push_back(std::move(form));
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

bool SenzaCopie(Contesto& ctx, const std::vector<std::string>& riscritti) {
  std::vector<std::string> copie;
  for (const std::string& file : riscritti)
    if (ctx.fso.FileExists(Copia(file))) copie.push_back(Copia(file));
  if (copie.empty()) return true;
  ctx.ui.MsgBox(Elenco(copie), kStileEsclamativo, kTitoloApplicazione);
  return false;
}

}  // namespace

std::vector<std::string> CopieInterrotte(Contesto& ctx, const FileCoinvolti& coinvolti) {
  std::vector<std::string> copie;
  for (const std::string& file : FileRiscritti(ctx, coinvolti))
    if (ctx.fso.FileExists(Copia(file))) copie.push_back(Copia(file));
  return copie;
}

bool VerificaCopie(Contesto& ctx, const FileCoinvolti& coinvolti) {
  return SenzaCopie(ctx, FileRiscritti(ctx, coinvolti));
}

bool VerificaFile(Contesto& ctx, const FileCoinvolti& coinvolti) {
  const std::vector<std::string> riscritti = FileRiscritti(ctx, coinvolti);
  if (!SenzaCopie(ctx, riscritti)) return false;
  // Every project file is read, and each file written, before the first
  // row: a failure at row 40 would leave 39 rows done and the rest not.
  const CatalogoComponenti& cat = ctx.catalogo;
  for (int riga = cat.LBound(); riga <= cat.UBound() && coinvolti.backup; ++riga) {
    const std::string progetto = cat.FileProgettoCompleto(riga);
    if (!ctx.fso.FileExists(progetto)) SollevaErrore(kFileNonTrovato, progetto, progetto);
    for (int k = 1; k <= kGenerazioniBackup; ++k) ctx.fso.CheckWritable(GenerazioneBackup(progetto, k));
  }
  for (const std::string& file : riscritti) {
    if (!ctx.fso.FileExists(file)) SollevaErrore(kFileNonTrovato, file, file);
    ctx.fso.CheckWritable(file);
    ctx.fso.CheckWritable(Copia(file));
  }
  return true;
}

}  // namespace cw
