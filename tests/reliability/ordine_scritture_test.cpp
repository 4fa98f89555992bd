// Every writer of the batch front end over a sandbox, under strace: for each
// file it replaces, the flush of what replaces it comes before the rename or
// removal of the good copy, so that a power cut at any instant leaves what a
// kill there would. This checks the order of the calls, not the luck of a
// crash.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogo.h"
#include "platform/linux/drive_table_linux.h"
#include "reliability/programma_batch.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"

namespace cw::test {
namespace {

namespace fs = std::filesystem;

std::string Cartella(const std::string& p) { return fs::path(p).parent_path().string(); }

bool FinisceCon(const std::string& s, std::string_view fine) { return s.ends_with(fine); }

// The quoted strings of a strace line, unescaped as far as paths need.
std::vector<std::string> Virgolettati(const std::string& riga) {
  std::vector<std::string> testi;
  for (size_t i = 0; i < riga.size(); ++i) {
    if (riga[i] != '"') continue;
    std::string t;
    for (++i; i < riga.size() && riga[i] != '"'; ++i) t += riga[i] == '\\' && i + 1 < riga.size() ? riga[++i] : riga[i];
    testi.push_back(t);
  }
  return testi;
}

// The path strace -y gives for the call's first descriptor: "3</a/b>".
std::string PercorsoFd(const std::string& riga) {
  const size_t a = riga.find('<'), b = riga.find(">,"), c = riga.find(">)");
  const size_t fine = std::min(b, c);
  return a == std::string::npos || fine == std::string::npos || fine < a ? "" : riga.substr(a + 1, fine - a - 1);
}

// What the file system holds of each path, as far as the calls recorded
// tell, and the calls that break the order.
class Ordine {
 public:
  explicit Ordine(std::string radice) : radice_(std::move(radice)) {}

  void Leggi(const fs::path& registro) {
    std::ifstream in(registro);
    std::string riga;
    while (std::getline(in, riga)) Chiamata(riga);
    // Every rename reaches the disk before the program is done.
    for (const auto& [cartella, cosa] : nomi_)
      violazioni.push_back("exit with " + cosa + " not flushed in " + cartella);
    nomi_.clear();
    for (const std::string& p : sporchi_)
      if (p.starts_with(radice_)) violazioni.push_back("exit with the data of " + p + " not flushed");
  }

  std::vector<std::string> violazioni;
  int controllate = 0;  // renames, removals of a copy and emptying opens seen

 private:
  void Chiamata(const std::string& riga) {
    // "pid  name(arguments) = result", the pid padded with blanks.
    const size_t inizio = riga.find_first_not_of(' ', riga.find(' ')), aperta = riga.find('(');
    if (inizio == std::string::npos || aperta == std::string::npos || aperta < inizio) return;
    const std::string nome = riga.substr(inizio, aperta - inizio);
    const size_t uguale = riga.rfind(") = ");
    if (uguale == std::string::npos || riga.compare(uguale + 4, 2, "-1") == 0) return;  // failed or unfinished
    std::vector<std::string> v = Virgolettati(riga);
    // strace -y names descriptors by their real path; the calls' own paths
    // go through the prefix's drive links.
    for (std::string& p : v) p = Reale(p);
    if (nome == "openat" && !v.empty()) {
      const std::string& p = v[0];
      // Only what lies in the drives is kept: the lock's note of its holder
      // in the temporary folder tells a refused instance who, and a lost one
      // only shortens that message.
      if (!p.starts_with(radice_)) return;
      if (riga.find("O_TRUNC") != std::string::npos) {
        ++controllate;
        const std::string copia = p + "_tmp";
        if (!creati_.contains(copia) || sporchi_.contains(copia) || nomi_.contains(Cartella(p)))
          violazioni.push_back("emptied " + p + " without its _tmp copy on the disk");
        sporchi_.insert(p);
      }
      if (riga.find("O_CREAT") != std::string::npos) {
        sporchi_.insert(p);
        if (!nomi_.contains(Cartella(p))) nomi_[Cartella(p)] = "the creation of " + p;
      }
    } else if (nome == "write" || nome == "pwrite64" || nome == "ftruncate" || nome == "fallocate") {
      sporchi_.insert(PercorsoFd(riga));
    } else if (nome == "fsync" || nome == "fdatasync") {
      const std::string p = PercorsoFd(riga);
      sporchi_.erase(p);
      nomi_.erase(p);
    } else if (nome == "syncfs" || nome == "sync") {
      sporchi_.clear();
      nomi_.clear();
    } else if ((nome == "rename" || nome == "renameat" || nome == "renameat2") && v.size() >= 2) {
      ++controllate;
      const std::string &da = v[0], &a = v[1];
      if (sporchi_.contains(da)) violazioni.push_back("renamed " + da + " to " + a + " before its data was flushed");
      sporchi_.erase(da);
      if (creati_.erase(da)) creati_.insert(a);
      if (!nomi_.contains(Cartella(a))) nomi_[Cartella(a)] = "the rename to " + a;
    } else if ((nome == "unlink" || nome == "unlinkat") && !v.empty()) {
      const std::string& p = v[0];
      sporchi_.erase(p);
      creati_.erase(p);
      if (!FinisceCon(p, "_tmp")) return;
      ++controllate;
      const std::string file = p.substr(0, p.size() - 4);
      if (sporchi_.contains(file) || nomi_.contains(Cartella(file)))
        violazioni.push_back("removed " + p + " before " + file + " was on the disk");
    }
    // A whole copy renamed into place from its "~" name counts as made.
    if (nome.starts_with("rename") && v.size() >= 2 && FinisceCon(v[0], "~")) creati_.insert(v[1]);
  }

  std::string Reale(const std::string& p) {
    const fs::path percorso(p);
    auto [it, nuova] = reali_.try_emplace(percorso.parent_path().string());
    if (nuova) {
      std::error_code e;
      it->second = fs::weakly_canonical(percorso.parent_path(), e);
    }
    return (it->second / percorso.filename()).string();
  }

  std::string radice_;
  std::map<std::string, fs::path> reali_;    // folder as called -> its real path
  std::set<std::string> sporchi_;            // written, not yet flushed
  std::set<std::string> creati_;             // whole copies made by the traced programs
  std::map<std::string, std::string> nomi_;  // folder -> a name change in it not yet flushed
};

class OrdineScritture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    if (!CopiaBatch(radice.Dir() / "bin")) GTEST_SKIP() << "compilawexo-batch is not built beside the test";
    CaricaCatalogo(catalogo);
    sandbox::CreaSandbox(sandbox, catalogo, {});
    for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
      const fs::path p = *DriveTable(sandbox).Resolve(catalogo.FileProgettoCompleto(i));
      for (int k = 1; k <= 5; ++k) fs::copy_file(p, p.string() + "_" + std::to_string(k));
    }
    ::sync();  // what was there before is on the disk
  }

  // Runs the front end with the words under strace and checks the order.
  void Traccia(const std::string& parole) {
    SCOPED_TRACE(parole);
    const fs::path registro = radice.Dir() / "strace.log";
    // The sanitizers' leak check cannot run under ptrace: off for the traced program.
    const std::string comando = "ASAN_OPTIONS=detect_leaks=0 WINEPREFIX='" + sandbox.string() +
                                "' strace -f -qq -y -s 0 -o '" + registro.string() +
                                "' -e trace=openat,write,pwrite64,ftruncate,fallocate,fsync,fdatasync,syncfs,sync,"
                                "rename,renameat,renameat2,unlink,unlinkat '" +
                                (radice.Dir() / "bin" / "compilawexo-batch").string() + "' " + parole + " >/dev/null";
    ASSERT_EQ(std::system(comando.c_str()), 0);
    Ordine ordine(fs::canonical(sandbox / "drive_c").string());
    ordine.Leggi(registro);
    EXPECT_GT(ordine.controllate, 0);
    for (const std::string& v : ordine.violazioni) ADD_FAILURE() << v;
  }

  PrefissoTemporaneo radice;
  fs::path sandbox = radice.Dir() / "sandbox";
  CatalogoComponenti catalogo;
};

TEST_F(OrdineScritture, EveryWriterFlushesWhatReplacesAGoodCopyFirst) {
  Traccia("backup");
  Traccia("versione --principale 2 --secondario 0 --revisione 5");
  Traccia("proprieta --commenti Prova --vuoti");
  Traccia("compatibilita binaria");
  // A GUID every project file holds (OLE Automation's), so that each one is rewritten.
  Traccia("guid {00020430-0000-0000-C000-000000000046} {00020430-0000-0000-C000-000000000047}");

  // A rewrite cut short: the copy back over its file, the file's other
  // content kept aside.
  const fs::path p = *DriveTable(sandbox).Resolve(catalogo.FileProgettoCompleto(0));
  fs::copy_file(p, p.string() + "_tmp");
  ScriviFile(p, "Type=Exe\r\n");
  ::sync();
  Traccia("ripristina");
}

}  // namespace
}  // namespace cw::test
