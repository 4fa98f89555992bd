// Times the five editing operations (backup, compatibility, version,
// properties, GUID replacement) over the program's own 148-row catalogue,
// each beside the floor program doing the same file work on the same tree.
// Each rewrite is timed with its command's check before it (VerificaFile:
// the leftover copies of the whole suite, the files it writes), as a click
// runs them; the GUID replacement rewrites the files of that check's listing.
//
//   cw_bench_editing [--rounds N] [--floor PATH] [--floor-flush PATH] [--prefix DIR] [--keep] [--no-flush]
//
// --floor-flush runs, beside the floor, the floor that makes the rewrite's
// flushes (bench/floor/floor_flush.c). --no-flush times our side with the
// "_tmp" copies left unflushed (CopyFileWhole for CopyFileWholeFlushed), to
// tell the flushes' cost from the rest.
//
// Without --prefix a suite is generated in a new folder under /tmp: every
// catalogue row gets a project file of realistic size and shape and, for
// most rows, a "Form" folder with two form files. With --prefix DIR an
// existing Wine-style prefix (a sandbox) is used as it is; its project and
// form files are rewritten and gain backup generations. The floor (cc -O2 -o floor floor.c) runs "backup" and "rewrite"
// on the host source root; for the GUID replacement each form file has, for
// the floor's run only, a copy beside it under a name the floor takes, so
// both sides do the same work in the same folders.
// Times are medians over the rounds, the runs of ours and of the floor
// interleaved; the ratio of the fastest rounds is printed too.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "build/backup.h"
#include "catalogue/catalogo.h"
#include "commands/campi.h"
#include "commands/verifica_file.h"
#include "platform/linux/filesystem_linux.h"
#include "platform/servizi_piattaforma.h"
#include "projectfile/operazioni_progetto.h"

#include "ui_muta.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using cw::bench::UiMuta;

// The file service with CopyFileWholeFlushed made a plain CopyFileWhole and
// FlushFile doing nothing.
class SenzaFlush : public cw::FileSystem {
 public:
  explicit SenzaFlush(cw::FileSystem& f) : f_(f) {}
  bool FileExists(std::string_view p) override { return f_.FileExists(p); }
  bool FolderExists(std::string_view p) override { return f_.FolderExists(p); }
  cw::TipoVoce Tipo(std::string_view p) override { return f_.Tipo(p); }
  void CopyFile(std::string_view a, std::string_view b, bool o) override { f_.CopyFile(a, b, o); }
  void DeleteFile(std::string_view p, bool force) override { f_.DeleteFile(p, force); }
  void RenameFile(std::string_view a, std::string_view b) override { f_.RenameFile(a, b); }
  void CopyFileWhole(std::string_view a, std::string_view b) override { f_.CopyFileWhole(a, b); }
  void CopyFileWholeFlushed(std::string_view a, std::string_view b) override { f_.CopyFileWhole(a, b); }
  void FlushFile(std::string_view) override {}
  void CheckWritable(std::string_view p) override { f_.CheckWritable(p); }
  std::unique_ptr<cw::TextStream> OpenTextFile(std::string_view p, cw::IOMode m, bool c) override {
    return f_.OpenTextFile(p, m, c);
  }
  cw::FolderListing GetFolder(std::string_view p) override { return f_.GetFolder(p); }

 private:
  cw::FileSystem& f_;
};

const char* kGuid = "{6B263850-900B-11D0-9484-00A0C91110ED}";
const char* kGuidNuovo = "{0D452EE1-E08F-101A-852E-02608C4D0BB4}";

// A project file as the development environment writes it, about 3 KB.
std::string TestoProgetto(const std::string& nome, const std::string& tipo) {
  const bool app = tipo.rfind("app", 0) == 0;
  std::string t = std::string("Type=") + (tipo.rfind("dll", 0) == 0 ? "OleDll" : "Exe") + "\r\n";
  t += "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\WINDOWS\\system32\\stdole2.tlb#OLE "
       "Automation\r\n";
  t += "Reference=*\\G{00000201-0000-0010-8000-00AA006D2EA4}#2.1#0#..\\..\\Programmi\\File "
       "comuni\\System\\ADO\\msado21.tlb#Microsoft ActiveX Data Objects 2.1 Library\r\n";
  t += std::string("Object=") + kGuid + "#1.0#0; MSCOMCTL.OCX\r\n";
  for (int k = 0; k < 18; ++k)
    t += "Class=cls" + nome + std::to_string(k) + "; cls" + nome + std::to_string(k) + ".cls\r\n";
  t += "Module=modGlobale; modGlobale.bas\r\nForm=Form\\frmPrincipale.frm\r\nForm=Form\\frmOpzioni.frm\r\n";
  t += "Startup=\"(None)\"\r\nHelpFile=\"\"\r\nTitle=\"" + nome + "\"\r\nExeName32=\"" + nome +
       (app ? ".exe" : ".dll") + "\"\r\n";
  t += "Path32=\"..\\..\\Orbalis\\Componenti\"\r\nCommand32=\"\"\r\nName=\"" + nome + "\"\r\nHelpContextID=\"0\"\r\n";
  if (!app) t += "CompatibleMode=\"2\"\r\nCompatibleEXE32=\"..\\..\\Orbalis\\Componenti\\" + nome + ".dll\"\r\n";
  t += "MajorVer=3\r\nMinorVer=1\r\nRevisionVer=417\r\nAutoIncrementVer=0\r\nServerSupportFiles=0\r\n";
  t += "VersionComments=\"Componente della suite\"\r\nVersionCompanyName=\"Orbalis S.p.A.\"\r\n";
  t += "VersionLegalCopyright=\"Copyright \xA9 Orbalis\"\r\nVersionProductName=\"Orbalis\"\r\n";
  t += "CompilationType=0\r\nOptimizationType=0\r\nFavorPentiumPro(tm)=0\r\nCodeViewDebugInfo=0\r\n";
  t += "NoAliasing=0\r\nBoundsCheck=0\r\nOverflowCheck=0\r\nFlPointCheck=0\r\nFDIVCheck=0\r\n";
  t += "UnroundedFP=0\r\nStartMode=1\r\nUnattended=0\r\nRetained=0\r\nThreadPerObject=0\r\n";
  t += "MaxNumberOfThreads=1\r\nThreadingModel=1\r\nDebugStartupOption=0\r\nDllBaseAddress=&H11000000\r\n";
  t += "\r\n[MS Transaction Server]\r\nAutoRefresh=1\r\n";
  return t;
}

// The layout part of a form file, about 12 KB.
std::string TestoForm(const std::string& nome) {
  std::string t = "VERSION 5.00\r\n";
  t += std::string("Object = \"") + kGuid + "#2.0#0\"; \"MSCOMCTL.OCX\"\r\n";
  t += "Begin VB.Form " + nome + "\r\n   Caption         =   \"" + nome + "\"\r\n   ClientHeight    =   6075\r\n";
  for (int k = 0; k < 60; ++k) {
    t += "   Begin VB.CommandButton cmd" + std::to_string(k) + "\r\n      Caption         =   \"Pulsante\"\r\n";
    t += "      Height          =   375\r\n      Left            =   120\r\n      TabIndex        =   " +
         std::to_string(k) + "\r\n";
    t += "      Top             =   " + std::to_string(120 + 400 * k) +
         "\r\n      Width           =   1095\r\n   End\r\n";
  }
  t += "End\r\n";
  return t;
}

fs::path HostDi(const fs::path& prefisso, const std::string& windows) {
  fs::path p = prefisso / "drive_c";
  std::string resto = windows.substr(3);
  for (std::size_t da = 0; da <= resto.size();) {
    std::size_t a = resto.find('\\', da);
    if (a == std::string::npos) a = resto.size();
    if (a > da) p /= resto.substr(da, a - da);
    da = a + 1;
  }
  return p;
}

void Scrivi(const fs::path& p, const std::string& byte) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << byte;
}

void GeneraSuite(const fs::path& prefisso, const cw::CatalogoComponenti& catalogo) {
  fs::create_directories(prefisso / "dosdevices");
  fs::create_directories(prefisso / "drive_c");
  std::error_code ec;
  fs::create_directory_symlink("../drive_c", prefisso / "dosdevices" / "c:", ec);
  for (int r = catalogo.LBound(); r <= catalogo.UBound(); ++r) {
    const std::string nome = fs::path(catalogo(r, cw::kFileProgetto)).stem().string();
    Scrivi(HostDi(prefisso, catalogo.FileProgettoCompleto(r)), TestoProgetto(nome, catalogo(r, cw::kTipo)));
    if (r % 4 == 3) continue;  // some projects have no forms
    const fs::path form = HostDi(prefisso, catalogo(r, cw::kCartella) + "\\Form");
    Scrivi(form / "frmPrincipale.frm", TestoForm("frmPrincipale"));
    Scrivi(form / "frmOpzioni.frm", TestoForm("frmOpzioni"));
    Scrivi(form / "frmPrincipale.frx", std::string(2048, '\x7F'));
  }
}

// Beside each form file the GUID replacement rewrites, a copy named
// "X.frm.vbp", which the floor takes with the project files: the same file
// work in the same folders. (With a mirror tree elsewhere on the disk the
// ratio of the same code swung from 0.85 to 2.0 between runs: creating a
// file costs the kernel more in folders where many were just created and
// deleted, and only our side worked in the suite's folders.)
std::vector<fs::path> AffiancaCopieForm(const fs::path& prefisso, const cw::CatalogoComponenti& catalogo) {
  std::vector<fs::path> copie;
  for (int r = catalogo.LBound(); r <= catalogo.UBound(); ++r) {
    const fs::path form = HostDi(prefisso, catalogo(r, cw::kCartella) + "\\Form");
    if (!fs::is_directory(form)) continue;
    std::vector<fs::path> originali;
    for (const auto& e : fs::directory_iterator(form)) {
      const std::string nome = e.path().filename().string();
      if (e.is_regular_file() && nome.size() >= 4 && nome.compare(nome.size() - 4, 4, ".frm") == 0)
        originali.push_back(e.path());
    }
    for (const fs::path& o : originali) {
      copie.push_back(o.string() + ".vbp");
      fs::copy_file(o, copie.back(), fs::copy_options::overwrite_existing);
    }
  }
  return copie;
}

double Millis(const std::function<void()>& f) {
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Floor(const std::string& floor, const char* modo, const fs::path& radice) {
  const std::string r = radice.string();
  std::vector<char*> argv = {const_cast<char*>(floor.c_str()), const_cast<char*>(modo), const_cast<char*>(r.c_str()),
                             nullptr};
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", 1 /* O_WRONLY */, 0);
  pid_t pid = 0;
  const auto t0 = Clock::now();
  if (posix_spawn(&pid, floor.c_str(), &azioni, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "cannot run %s\n", floor.c_str());
    std::exit(1);
  }
  int stato = 0;
  waitpid(pid, &stato, 0);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  posix_spawn_file_actions_destroy(&azioni);
  return ms;
}

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The fastest round, which a machine shared with other work disturbs least.
double Minimo(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv) {
  int giri = 15;
  std::string floor, floorFlush;
  fs::path prefisso;
  bool tieni = false, senzaFlush = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--rounds" && i + 1 < argc)
      giri = std::max(1, std::atoi(argv[++i]));
    else if (a == "--floor" && i + 1 < argc)
      floor = argv[++i];
    else if (a == "--floor-flush" && i + 1 < argc)
      floorFlush = argv[++i];
    else if (a == "--no-flush")
      senzaFlush = true;
    else if (a == "--prefix" && i + 1 < argc)
      prefisso = argv[++i];
    else if (a == "--keep")
      tieni = true;
    else {
      std::fprintf(stderr,
                   "usage: cw_bench_editing [--rounds N] [--floor PATH] [--floor-flush PATH] [--prefix DIR] [--keep] "
                   "[--no-flush]\n");
      return 2;
    }
  }
  cw::CatalogoComponenti catalogo;
  cw::CaricaCatalogo(catalogo);
  const bool generata = prefisso.empty();
  if (generata) {
    std::string tmpl = (fs::temp_directory_path() / "cw-bench-editing-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    prefisso = tmpl;
    GeneraSuite(prefisso, catalogo);
  }
  const fs::path radice = HostDi(prefisso, cw::kRadiceSorgenti);
  // The floor's empty tree lies outside the prefix, and the form files' copies
  // go after each run, so a sandbox is left clean.
  std::string tmplFloor = (fs::temp_directory_path() / "cw-bench-floor-XXXXXX").string();
  if (!mkdtemp(tmplFloor.data())) return 1;
  const fs::path appoggio = tmplFloor;

  cw::FileSystemLinux reale{cw::DriveTable(prefisso)};
  SenzaFlush nonFlush{reale};
  cw::FileSystem& fso = senzaFlush ? static_cast<cw::FileSystem&>(nonFlush) : reale;
  UiMuta ui;
  cw::CampiInMemoria campi;
  const cw::ServiziSistema sistema = cw::CreaServiziSistema();
  cw::Contesto ctx{.fso = fso, .catalogo = catalogo, .ui = ui, .campi = campi, .sistema = sistema};
  // The check each command makes before its first row.
  const auto verifica = [&](const cw::FileCoinvolti& c, cw::FileSuite* elenco = nullptr) {
    if (!cw::VerificaFile(ctx, c, elenco)) std::exit(1);
  };
  // Five backups first, so every timed backup shifts five generations.
  for (int i = 0; i < 5; ++i) cw::EseguiBackup(fso, catalogo, ui);
  // One round of the GUID pass before timing: line ends become CR LF.
  cw::SostituisciGuid(fso, catalogo, kGuid, kGuid);

  struct Misura {
    const char* nome;
    const char* modoFloor;
    fs::path radiceFloor;
    std::function<void()> operazione;
    bool copieForm = false;  // the floor's runs take the form files' copies too
    std::vector<double> nostro{}, floor{}, flush{};
  };
  bool pari = false;
  std::vector<Misura> misure;
  misure.push_back({"backup (EseguiBackup)", "backup", radice, [&] { cw::EseguiBackup(fso, catalogo, ui); }});
  misure.push_back({"compatibility (check, ImpostaCompatibilita)", "rewrite", radice, [&] {
                      verifica({.backup = true, .compatibilita = true});
                      cw::ImpostaCompatibilita(fso, catalogo, ui, cw::Compatibilita::Binaria);
                    }});
  misure.push_back({"version (check, ImpostaVersione)", "rewrite", radice, [&] {
                      verifica({.backup = true, .progetti = true});
                      cw::ImpostaVersione(fso, catalogo, ui, "3", "1", "418");
                    }});
  misure.push_back({"properties (check, ImpostaProprieta)", "rewrite", radice, [&] {
                      verifica({.progetti = true});
                      cw::ImpostaProprieta(fso, catalogo, ui, "Componente", "\xC2\xA9 Orbalis", "Wexo", "Orbalis");
                    }});
  // Back and forth, so every round replaces every occurrence.
  misure.push_back({"GUID (check, SostituisciGuid, project and form files)", "rewrite", radice,
                    [&] {
                      cw::FileSuite suite;
                      verifica({.backup = true, .progetti = true, .form = true}, &suite);
                      cw::SostituisciGuid(fso, suite, pari ? kGuidNuovo : kGuid, pari ? kGuid : kGuidNuovo);
                      pari = !pari;
                    },
                    true});

  for (int g = 0; g < giri; ++g) {
    for (auto& m : misure) {
      m.nostro.push_back(Millis(m.operazione));
      const std::vector<fs::path> copie = m.copieForm ? AffiancaCopieForm(prefisso, catalogo) : std::vector<fs::path>{};
      if (!floor.empty()) m.floor.push_back(Floor(floor, m.modoFloor, m.radiceFloor));
      if (!floorFlush.empty()) m.flush.push_back(Floor(floorFlush, m.modoFloor, m.radiceFloor));
      for (const fs::path& c : copie) fs::remove(c);
    }
  }
  std::vector<double> avvio;
  if (!floor.empty()) {
    const fs::path vuota = appoggio / "empty";
    fs::create_directories(vuota);
    for (int g = 0; g < giri; ++g) avvio.push_back(Floor(floor, "backup", vuota));
  }

  std::printf("%d catalogue rows, %s suite, %d rounds, medians in ms%s\n", catalogo.UBound() + 1,
              generata ? "generated" : "given", giri, senzaFlush ? ", our copies unflushed" : "");
  const double a = Mediana(avvio);
  for (const auto& m : misure) {
    const double n = Mediana(m.nostro);
    if (floor.empty()) {
      std::printf("%-54s %8.2f\n", m.nome, n);
    } else {
      const double f = Mediana(m.floor);
      std::printf(
          "%-54s %8.2f   floor %-7s %8.2f   ratio %5.2f   (%.2f against the floor less its start-up %.2f; best rounds "
          "%.2f)\n",
          m.nome, n, m.modoFloor, f, n / f, n / (f - a), a, Minimo(m.nostro) / Minimo(m.floor));
    }
    if (!floorFlush.empty()) {
      const double f = Mediana(m.flush);
      std::printf("%-54s %8.2f   flushing floor   %8.2f   ratio %5.2f   (best rounds %.2f)\n", "", n, f, n / f,
                  Minimo(m.nostro) / Minimo(m.flush));
    }
  }
  std::error_code ec;
  fs::remove_all(appoggio, ec);
  if (generata && !tieni) fs::remove_all(prefisso, ec);
  return 0;
}
