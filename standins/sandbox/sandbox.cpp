#include "sandbox.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "albero.h"
#include "errore_sandbox.h"
#include "platform/linux/architettura_linux.h"
#include "platform/linux/io_linux.h"
#include "progetto.h"
#include "rimozione.h"

extern char** environ;

namespace cw::sandbox {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTestoMarcatore = "wexo-sandbox 1\n";
// What the maker makes in the folder, and so what a rebuild may remove.
constexpr const char* kNostreVoci[] = {"dosdevices", "drive_c", "drive_d"};
// What wineboot makes beside them in a --wine sandbox.
constexpr const char* kVociWine[] = {"system.reg", "user.reg", "userdef.reg", ".update-timestamp", "wineserver"};

// The Windows stand-ins a --wine sandbox gets, as "file in the folder",
// "Windows path".
struct ProgrammaWindows {
  const char* file;
  const char* percorso;
};
constexpr ProgrammaWindows kProgrammiWindows[] = {
    {"standin-vb6.exe", kVb6},
    {"standin-component.dll", "C:\\Programmi\\Microsoft Visual Studio\\VB98\\standin-component.dll"},
    {"standin-exeserver.exe", "C:\\Programmi\\Microsoft Visual Studio\\VB98\\standin-exeserver.exe"},
};

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
      for (const char* voce : kVociWine) RimuoviVoce(fd, voce);
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

// The folder as it was before the maker: made here, or already there and empty.
struct StatoCartella {
  bool fatta = false;
};

// Removes everything the maker put in the folder, and the folder when it made it.
void Annulla(const fs::path& dir, const StatoCartella& stato) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return;
  std::vector<std::string> voci;
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    voci.push_back(it->path().filename().string());
  try {
    for (const std::string& voce : voci) RimuoviVoce(fd, voce);
  } catch (const std::exception&) {
    // What could not go stays; the error that stopped the maker is the one told.
  }
  ::close(fd);
  if (stato.fatta) ::rmdir(dir.c_str());
}

// Runs a Wine program in the prefix and waits for it: its status, and what
// it wrote to its standard error (a file: Wine's services inherit it and
// outlive the program) in errori.
int EseguiWine(const fs::path& prefisso, std::vector<std::string> argomenti, bool a64, std::string* errori = nullptr) {
  std::vector<std::string> ambiente;
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, "WINEPREFIX=", 11) != 0 && std::strncmp(*e, "WINEDLLOVERRIDES=", 17) != 0 &&
        std::strncmp(*e, "WINEARCH=", 9) != 0)
      ambiente.emplace_back(*e);
  ambiente.push_back("WINEPREFIX=" + prefisso.string());
  // No offer to fetch the browser and .NET engines: nothing may be downloaded.
  ambiente.push_back("WINEDLLOVERRIDES=mscoree,mshtml=");
  if (!std::getenv("WINEDEBUG")) ambiente.push_back("WINEDEBUG=-all");
  if (a64) {
    ambiente.push_back("WINEARCH=win64");
    // The 64-bit loader itself: Debian's `wine` starts its 32-bit one first.
    if (argomenti[0] != "wineserver") {
      const char* path = std::getenv("PATH");
      const auto caricatore = CaricatoreWine64(path ? path : "");
      if (!caricatore) throw ErroreSandbox("no 64-bit Wine loader (wine64) found: install the wine64 package");
      argomenti.insert(argomenti.begin(), caricatore->string());
    }
  }
  std::vector<char*> argv, envp;
  for (auto& a : argomenti) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto& a : ambiente) envp.push_back(a.data());
  envp.push_back(nullptr);
  const int fdErrori = errori ? ::memfd_create("wexo-sandbox-wine", MFD_CLOEXEC) : -1;
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
  if (fdErrori >= 0)
    posix_spawn_file_actions_adddup2(&azioni, fdErrori, 2);
  else
    posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int err = ::posix_spawnp(&pid, argv[0], &azioni, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&azioni);
  if (err != 0) {
    if (fdErrori >= 0) ::close(fdErrori);
    throw ErroreSandbox(argomenti[0] + " cannot be started: " + std::strerror(err));
  }
  int stato = 0;
  while (::waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
  }
  if (fdErrori >= 0) {
    *errori = UltimeRighe(fdErrori, 8);
    ::close(fdErrori);
  }
  return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
}

// Wine makes the prefix itself: its own "C:\windows" (with Notepad), its
// registry, the drive links c: and z:.
void PreparaPrefissoWine(const fs::path& dir, const fs::path& programmi, bool a64) {
  const int bit = a64 ? 64 : 32;
  for (const ProgrammaWindows& p : kProgrammiWindows) {
    const fs::path file = programmi / p.file;
    if (!fs::is_regular_file(file))
      throw ErroreSandbox(file.string() + " is missing: build the Windows programs first");
    if (const int suoi = BitProgramma(file); suoi != bit)
      throw ErroreSandbox(file.string() + " is a " + std::to_string(suoi) + "-bit program, and a " +
                          std::to_string(bit) + "-bit prefix needs " + std::to_string(bit) +
                          "-bit stand-ins (--windows FOLDER, or a build with CW_WINDOWS_ARCH=" + (a64 ? "x64" : "x86") +
                          ")");
  }
  std::string errori;
  if (EseguiWine(dir, {"wineboot", "--init"}, a64, &errori) != 0) {
    const std::string motivo = a64 ? std::string() : MotivoSenza32Bit();
    throw ErroreSandbox("wineboot --init failed in " + dir.string() + (motivo.empty() ? "" : ": " + motivo) +
                        (errori.empty() ? "" : "\nWine said:\n" + errori));
  }
  // The registry is on disk once the server has ended.
  EseguiWine(dir, {"wineserver", "-w"}, a64);
  std::error_code ec;
  if (!fs::is_directory(dir / "drive_c" / "windows", ec))
    throw ErroreSandbox("wineboot made no drive_c/windows in " + dir.string());
  fs::create_directory(dir / "drive_d", ec);
  if (!fs::exists(fs::symlink_status(dir / "dosdevices" / "d:", ec)))
    Collegamento(dir / "dosdevices" / "d:", "../drive_d");
}

void Installa(Albero& albero, const std::vector<Installazione>& programmi) {
  for (const Installazione& p : programmi) {
    if (p.collega)
      albero.CollegaFile(p.origine, p.percorsoWindows);
    else
      albero.CopiaFile(p.origine, p.percorsoWindows);
  }
}

// Everything after the folder is ready; what fails half way is undone by the caller.
Riepilogo Riempi(const fs::path& dir, const CatalogoComponenti& catalogo, const OpzioniSandbox& opzioni) {
  // The marker goes first, so that a sandbox left half made can be rebuilt.
  {
    std::ofstream marcatore(dir / kMarcatore, std::ios::binary | std::ios::trunc);
    marcatore << kTestoMarcatore;
    if (!marcatore) throw ErroreSandbox("cannot write " + (dir / kMarcatore).string());
  }
  const bool wine = !opzioni.programmiWindows.empty();
  if (wine) {
    PreparaPrefissoWine(dir, opzioni.programmiWindows, opzioni.a64);
  } else {
    if (::mkdir((dir / "dosdevices").c_str(), 0755) != 0)
      throw ErroreSandbox("cannot make " + (dir / "dosdevices").string() + ": " + std::strerror(errno));
    Collegamento(dir / "dosdevices" / "c:", "../drive_c");
    Collegamento(dir / "dosdevices" / "d:", "../drive_d");
  }

  Albero albero(dir);
  albero.Cartella(kRadiceSorgenti);
  albero.Cartella(kCartellaOutputComponenti);
  albero.Cartella(kCartellaVb98);
  // Wine's prefix has its own system folder: a second case variant of it
  // would be a second folder on Linux.
  if (!wine) albero.Cartella("C:\\Windows\\System32");
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
  if (wine)
    for (const ProgrammaWindows& p : kProgrammiWindows) albero.CopiaFile(opzioni.programmiWindows / p.file, p.percorso);
  Installa(albero, opzioni.installa);
  riepilogo.file = albero.FileScritti();
  return riepilogo;
}

}  // namespace

bool ESandbox(const fs::path& dir) {
  struct stat st;
  return ::lstat((dir / kMarcatore).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Riepilogo CreaSandbox(const fs::path& dir, const CatalogoComponenti& catalogo, const OpzioniSandbox& opzioni) {
  std::error_code ec;
  const StatoCartella stato{!fs::exists(fs::symlink_status(dir, ec))};
  PreparaCartella(dir, opzioni.ricostruisci);
  try {
    return Riempi(dir, catalogo, opzioni);
  } catch (...) {
    Annulla(dir, stato);
    throw;
  }
}

void InstallaProgrammi(const fs::path& dir, const std::vector<Installazione>& programmi) {
  if (!ESandbox(dir)) throw ErroreSandbox(dir.string() + " is not a sandbox (no " + kMarcatore + " in it)");
  Albero albero(dir);
  Installa(albero, programmi);
}

}  // namespace cw::sandbox
