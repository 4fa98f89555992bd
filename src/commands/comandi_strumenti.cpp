// The menu "Strumenti": none of its commands uses the command frame.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/ansi.h"
#include "base/errors.h"
#include "base/passi_log.h"
#include "build/vb_build.h"
#include "commands/comandi.h"
#include "commands/verifica_file.h"
#include "projectfile/operazioni_progetto.h"
#include "projectfile/riscrivi_file.h"
#include "tools/genera_vbg.h"
#include "tools/indirizzi_base_dll.h"

namespace cw {

Esito mnuGeneraVbg_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  GeneraVbg(ctx.fso, ctx.catalogo);
  // Outside the frame: the log keeps the last command's lines, and this one
  // is added after them.
  AnnunciaPasso(ctx.ui, std::string("File di gruppo scritto in ") + kFileGruppo);
  return Esito::Completato;
}

Esito mnuIndirizziBaseDll_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  IndirizziBaseDll(ctx.fso, ctx.catalogo, ctx.ui);
  return Esito::Completato;
}

Esito mnuVbBuild_Click(Contesto& ctx) {
  if (!VerificaFile(ctx, {})) return Esito::Rifiutato;
  // No keystroke service (no display to type on) is no window to type into.
  if (!ctx.tastiera) SollevaErrore(kChiamataNonValida, "nessun servizio di tastiera");
  const std::function<void(int)> attendi =
      ctx.attendi ? ctx.attendi : std::function<void(int)>([&ctx](int ms) { ctx.sistema.pausa->Attendi(ms, 0); });
  return EseguiVbBuild(ctx.catalogo, *ctx.tastiera, ctx.ui, attendi) ? Esito::Completato : Esito::Fallito;
}

namespace {

constexpr std::string_view kSuffissoInterrotto = "_interrotto";

// What a leftover copy finds beside it: the file it goes back over, that
// file's own content, and whether that content must be kept.
struct Ripristino {
  std::string copia, file;
  bool copiaVuota = false, fileVuoto = true, conserva = false;
};

std::string Contenuto(FileSystem& fso, const std::string& percorso) {
  return fso.OpenTextFile(percorso, IOMode::ForReading)->ReadAll();
}

// The first of X_interrotto, X_interrotto2, X_interrotto3, ... that names nothing yet.
std::string NomeLibero(FileSystem& fso, const std::string& file) {
  const std::string base = file + std::string(kSuffissoInterrotto);
  std::string nome = base;
  for (int n = 2; fso.FileExists(nome) || fso.FolderExists(nome); ++n) nome = base + std::to_string(n);
  return nome;
}

std::string CopieVuote(const std::vector<Ripristino>& ripristini) {
  std::string testo;
  for (const Ripristino& r : ripristini)
    if (r.copiaVuota && !r.fileVuoto) testo += "\n\n" + r.copia + "\n" + r.file;
  if (testo.empty()) return testo;
  return "Una copia \"_tmp\" è vuota mentre il suo file non lo è: nessun file è stato ripristinato. Controllare i "
         "due file; se il file è integro, cancellare la copia vuota." +
         testo;
}

// A copy that is not a plain file is never put over its file: a link would
// bring in whatever it leads to (a file outside the suite), and a folder or a
// FIFO holds no content. It stays where it is, named in the closing box.
std::string CopieLasciate(const std::vector<std::pair<std::string, TipoVoce>>& lasciate) {
  if (lasciate.empty()) return "";
  std::string testo = "\n\nCopie \"_tmp\" lasciate dove sono perché non sono file; controllarle e toglierle a mano: " +
                      std::to_string(lasciate.size());
  for (const auto& [copia, tipo] : lasciate)
    testo += "\n" + copia +
             (tipo == TipoVoce::Collegamento ? " (collegamento)"
              : tipo == TipoVoce::Cartella   ? " (cartella)"
                                             : "");
  return testo;
}

}  // namespace

Esito mnuRipristina_Click(Contesto& ctx) {
  // A "_tmp" is on the disk whole before its file is opened for writing, so
  // one that exists holds the file as it was. The file may have been edited
  // since, though: what it holds is kept under a name of its own, unless it
  // is empty or the copy's very bytes.
  std::vector<Ripristino> ripristini;
  std::vector<std::pair<std::string, TipoVoce>> lasciate;
  for (std::string& copia : ElencaFileSuite(ctx.fso, ctx.catalogo).copie) {
    if (const TipoVoce tipo = ctx.fso.Tipo(copia); tipo != TipoVoce::File) {
      if (tipo != TipoVoce::Nessuna) lasciate.emplace_back(std::move(copia), tipo);
      continue;
    }
    Ripristino& r = ripristini.emplace_back();
    r.file = copia.substr(0, copia.size() - kSuffissoCopia.size());
    r.copia = std::move(copia);
    const std::string vecchio = Contenuto(ctx.fso, r.copia);
    r.copiaVuota = vecchio.empty();
    if (!ctx.fso.FileExists(r.file)) continue;
    const std::string attuale = Contenuto(ctx.fso, r.file);
    r.fileVuoto = attuale.empty();
    r.conserva = !r.fileVuoto && attuale != vecchio;
  }
  // Not even a power cut leaves an empty copy beside a whole file, but a
  // hand or another program can: putting it back would empty the file.
  if (const std::string testo = CopieVuote(ripristini); !testo.empty()) {
    ctx.ui.MsgBox(testo, kStileEsclamativo, kTitoloApplicazione);
    return Esito::Rifiutato;
  }
  int conservati = 0;
  for (const Ripristino& r : ripristini) {
    const std::string voce =
        "Ripristino di " + MaiuscoloUtf8(r.file.substr(r.file.find_last_of('\\') + 1)) + " in corso...";
    AnnunciaPasso(ctx.ui, voce);
    // Renamed aside first: killed in between, the file is missing and its
    // copy still there, which the next run puts back.
    const std::string conservato = r.conserva ? NomeLibero(ctx.fso, r.file) : "";
    if (r.conserva) {
      ctx.fso.RenameFile(r.file, conservato);
      ++conservati;
    }
    ctx.fso.RenameFile(r.copia, r.file);
    // The copy was on the disk already; its new name goes there too before
    // the row is told done.
    ctx.fso.FlushFile(r.file);
    ConcludiPasso(ctx.ui, voce + " OK!" + (r.conserva ? " Il contenuto sostituito è in " + conservato : ""));
  }
  std::string testo = ripristini.empty() && lasciate.empty()
                          ? "Nessun file interrotto da ripristinare"
                          : "File interrotti ripristinati: " + std::to_string(ripristini.size());
  if (conservati)
    testo += "\n\nContenuti sostituiti conservati con il suffisso \"" + std::string(kSuffissoInterrotto) +
             "\": " + std::to_string(conservati);
  // What is left still stops every command that writes: not a success.
  testo += CopieLasciate(lasciate);
  ctx.ui.MsgBox(testo, lasciate.empty() ? kStileInformativo : kStileEsclamativo, kTitoloApplicazione);
  return lasciate.empty() ? Esito::Completato : Esito::Fallito;
}

}  // namespace cw
