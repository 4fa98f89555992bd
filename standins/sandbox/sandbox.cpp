#include "sandbox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "albero.h"
#include "errore_sandbox.h"
#include "progetto.h"
#include "rimozione.h"

namespace cw::sandbox {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTestoMarcatore = "wexo-sandbox 1\n";
// What the maker makes in the folder, and so what a rebuild may remove.
constexpr const char* kNostreVoci[] = {"dosdevices", "drive_c", "drive_d"};

bool Vuota(const fs::path& dir) {
  std::error_code ec;
  return fs::directory_iterator(dir, ec) == fs::directory_iterator() && !ec;
}

void Collegamento(const fs::path& link, const char* destinazione) {
  if (::symlink(destinazione, link.c_str()) != 0)
    throw ErroreSandbox("cannot make the link " + link.string() + ": " + std::strerror(errno));
}

// The folder to build in, made when missing, with what a rebuild must clear
// already cleared.
void PreparaCartella(const fs::path& dir, bool ricostruisci) {
  std::error_code ec;
  const fs::file_status st = fs::status(dir, ec);
  if (fs::exists(st)) {
    if (!fs::is_directory(st)) throw ErroreSandbox(dir.string() + " exists and is not a folder");
    if (Vuota(dir)) return;
    if (!ricostruisci)
      throw ErroreSandbox(dir.string() + " is not empty (use --rebuild to make the sandbox there anew)");
    if (!ESandbox(dir))
      throw ErroreSandbox(dir.string() + " does not look like a sandbox (no " + kMarcatore + " in it): left as it is");
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw ErroreSandbox("cannot open " + dir.string() + ": " + std::strerror(errno));
    try {
      for (const char* voce : kNostreVoci) RimuoviVoce(fd, voce);
    } catch (...) {
      ::close(fd);
      throw;
    }
    ::close(fd);
    return;
  }
  fs::create_directories(dir, ec);
  if (ec) throw ErroreSandbox("cannot make " + dir.string() + ": " + ec.message());
}

void Installa(Albero& albero, const std::vector<Installazione>& programmi) {
  for (const Installazione& p : programmi) {
    if (p.collega)
      albero.CollegaFile(p.origine, p.percorsoWindows);
    else
      albero.CopiaFile(p.origine, p.percorsoWindows);
  }
}

}  // namespace

bool ESandbox(const fs::path& dir) {
  struct stat st;
  return ::lstat((dir / kMarcatore).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Riepilogo CreaSandbox(const fs::path& dir, const CatalogoComponenti& catalogo, const OpzioniSandbox& opzioni) {
  PreparaCartella(dir, opzioni.ricostruisci);
  // The marker goes first, so that a sandbox left half made can be rebuilt.
  {
    std::ofstream marcatore(dir / kMarcatore, std::ios::binary | std::ios::trunc);
    marcatore << kTestoMarcatore;
    if (!marcatore) throw ErroreSandbox("cannot write " + (dir / kMarcatore).string());
  }
  if (::mkdir((dir / "dosdevices").c_str(), 0755) != 0)
    throw ErroreSandbox("cannot make " + (dir / "dosdevices").string() + ": " + std::strerror(errno));
  Collegamento(dir / "dosdevices" / "c:", "../drive_c");
  Collegamento(dir / "dosdevices" / "d:", "../drive_d");

  Albero albero(dir);
  albero.Cartella(kRadiceSorgenti);
  albero.Cartella(kCartellaOutputComponenti);
  albero.Cartella(kCartellaVb98);
  albero.Cartella("C:\\Windows\\System32");
  albero.Cartella("D:\\WexoApp");
  albero.Cartella("D:\\QuilApp");

  Riepilogo riepilogo;
  for (int riga = catalogo.LBound(); riga <= catalogo.UBound(); ++riga) {
    const std::string cartella = catalogo(riga, kCartella);
    albero.Cartella(cartella);
    for (const FileGenerato& f : GeneraProgetto(catalogo, riga))
      albero.ScriviFile(cartella + "\\" + f.percorso, f.contenuto);
    ++riepilogo.progetti;
  }
  Installa(albero, opzioni.installa);
  riepilogo.file = albero.FileScritti();
  return riepilogo;
}

void InstallaProgrammi(const fs::path& dir, const std::vector<Installazione>& programmi) {
  if (!ESandbox(dir)) throw ErroreSandbox(dir.string() + " is not a sandbox (no " + kMarcatore + " in it)");
  Albero albero(dir);
  Installa(albero, programmi);
}

}  // namespace cw::sandbox
