#include "commands/verifica_file.h"

#include <algorithm>

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

// Whether the file is empty; opening it raises what reading it would (53
// missing, 75 a folder or another non-file in its place, 76 no folder).
bool Vuoto(FileSystem& fso, const std::string& file) {
  const auto flusso = fso.OpenTextFile(file, IOMode::ForReading);
  const bool vuoto = flusso->AtEndOfStream();
  flusso->Close();
  return vuoto;
}

// An empty project file is no project: what a power cut during an unflushed
// rewrite leaves. Read, it would build nothing; backed up, it would push a
// good generation out. The box says where the content still is.
std::string MessaggioVuoto(FileSystem& fso, const std::string& progetto) {
  std::string testo = "Il file di progetto è vuoto; nessun file è stato modificato:\n\n" + progetto + "\n\n";
  for (int k = 1; k <= kGenerazioniBackup; ++k) {
    const std::string generazione = GenerazioneBackup(progetto, k);
    if (fso.FileExists(generazione) && !Vuoto(fso, generazione))
      return testo + "La copia di backup più recente non vuota è:\n\n" + generazione;
  }
  return testo + "Nessuna copia di backup non vuota.";
}

bool SenzaCopie(Contesto& ctx, const FileSuite& suite) {
  if (suite.copie.empty()) return true;
  ctx.ui.MsgBox(Elenco(suite.copie), kStileEsclamativo, kTitoloApplicazione);
  return false;
}

// False, with the box, at the first empty project file. A command that only
// reads goes on past a missing one as it always did; one that backs it up
// or rewrites it stops at it with the error reading it gives.
bool SenzaProgettiVuoti(Contesto& ctx, bool backup, const std::vector<std::string>& riscritti) {
  const CatalogoComponenti& cat = ctx.catalogo;
  for (int riga = cat.LBound(); riga <= cat.UBound(); ++riga) {
    const std::string progetto = cat.FileProgettoCompleto(riga);
    const bool scritto = backup || std::find(riscritti.begin(), riscritti.end(), progetto) != riscritti.end();
    if (!scritto && !ctx.fso.FileExists(progetto)) continue;
    if (Vuoto(ctx.fso, progetto)) {
      ctx.ui.MsgBox(MessaggioVuoto(ctx.fso, progetto), kStileEsclamativo, kTitoloApplicazione);
      return false;
    }
  }
  return true;
}

}  // namespace

bool VerificaCopie(Contesto& ctx) {
  return SenzaCopie(ctx, ElencaFileSuite(ctx.fso, ctx.catalogo)) && SenzaProgettiVuoti(ctx, false, {});
}

bool VerificaFile(Contesto& ctx, const FileCoinvolti& coinvolti, FileSuite* elenco) {
  // Every copy counts, whatever the command writes: a file beside its copy
  // may be empty or half written, and reading it is as wrong as rewriting it.
  FileSuite suite = ElencaFileSuite(ctx.fso, ctx.catalogo);
  if (!SenzaCopie(ctx, suite)) return false;
  // Every project file is read, and each file written, before the first
  // row: a failure at row 40 would leave 39 rows done and the rest not.
  const CatalogoComponenti& cat = ctx.catalogo;
  const std::vector<std::string> riscritti = FileRiscritti(cat, suite, coinvolti);
  if (!SenzaProgettiVuoti(ctx, coinvolti.backup, riscritti)) return false;
  for (int riga = cat.LBound(); riga <= cat.UBound() && coinvolti.backup; ++riga) {
    const std::string progetto = cat.FileProgettoCompleto(riga);
    for (int k = 1; k <= kGenerazioniBackup; ++k) ctx.fso.CheckWritable(GenerazioneBackup(progetto, k));
  }
  for (const std::string& file : riscritti) {
    if (!ctx.fso.FileExists(file)) Vuoto(ctx.fso, file);
    ctx.fso.CheckWritable(file);
    ctx.fso.CheckWritable(Copia(file));
  }
  if (elenco) *elenco = std::move(suite);
  return true;
}

}  // namespace cw
