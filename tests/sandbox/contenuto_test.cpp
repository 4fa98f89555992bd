// A sandbox made from the program's catalogue, walked row by row as the tool
// will walk it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogo.h"
#include "platform/linux/filesystem_linux.h"
#include "projectfile/grafo_riferimenti.h"
#include "sandbox.h"
#include "support/prefisso_temporaneo.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

// The host path of a Windows path, reached through the drive's link as the
// tool reaches it.
fs::path Host(const fs::path& prefisso, const std::string& windows) {
  fs::path p = prefisso / "dosdevices" / (std::string(1, static_cast<char>(std::tolower(windows[0]))) + ":");
  std::string parte;
  for (size_t i = 3; i <= windows.size(); ++i) {
    if (i == windows.size() || windows[i] == '\\') {
      if (!parte.empty()) p /= parte;
      parte.clear();
    } else {
      parte += windows[i];
    }
  }
  return p;
}

std::vector<std::string> Righe(const std::string& byte) {
  std::vector<std::string> out;
  size_t inizio = 0;
  while (inizio < byte.size()) {
    size_t fine = byte.find("\r\n", inizio);
    if (fine == std::string::npos) fine = byte.size();
    out.push_back(byte.substr(inizio, fine - inizio));
    inizio = fine + 2;
  }
  return out;
}

// Every line ends in CR LF: no lone LF, no lone CR, nothing after the last line end.
bool SoloCrLf(const std::string& byte) {
  if (byte.size() < 2 || byte.compare(byte.size() - 2, 2, "\r\n") != 0) return false;
  for (size_t i = 0; i < byte.size(); ++i) {
    if (byte[i] == '\n' && (i == 0 || byte[i - 1] != '\r')) return false;
    if (byte[i] == '\r' && (i + 1 == byte.size() || byte[i + 1] != '\n')) return false;
  }
  return true;
}

// Bytes of a UTF-8 sequence for a Latin letter (0xC2/0xC3 then a continuation
// byte): the text was not converted to the ANSI code page.
bool SembraUtf8(const std::string& byte) {
  for (size_t i = 0; i + 1 < byte.size(); ++i) {
    const auto a = static_cast<unsigned char>(byte[i]), b = static_cast<unsigned char>(byte[i + 1]);
    if ((a == 0xC2 || a == 0xC3) && b >= 0x80 && b <= 0xBF) return true;
  }
  return false;
}

std::string Valore(const std::vector<std::string>& righe, const std::string& chiave, int* quante = nullptr) {
  std::string v;
  int n = 0;
  for (const std::string& r : righe)
    if (r.compare(0, chiave.size(), chiave) == 0) {
      if (!n) v = r.substr(chiave.size());
      ++n;
    }
  if (quante) *quante = n;
  return v;
}

std::string SenzaVirgolette(const std::string& s) {
  return s.size() >= 2 && s.front() == '"' && s.back() == '"' ? s.substr(1, s.size() - 2) : s;
}

class SandboxDelCatalogo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    cartella_ = new test::CartellaTemporanea;
    CaricaCatalogo(catalogo_);
    sandbox::CreaSandbox(Prefisso(), catalogo_, {});
  }
  static void TearDownTestSuite() {
    delete cartella_;
    cartella_ = nullptr;
  }
  static fs::path Prefisso() { return cartella_->Dir() / "prefisso"; }

  static test::CartellaTemporanea* cartella_;
  static CatalogoComponenti catalogo_;
};
test::CartellaTemporanea* SandboxDelCatalogo::cartella_ = nullptr;
CatalogoComponenti SandboxDelCatalogo::catalogo_;

TEST_F(SandboxDelCatalogo, HaLeUnitaEleCartelleFisse) {
  EXPECT_EQ(fs::read_symlink(Prefisso() / "dosdevices" / "c:"), "../drive_c");
  EXPECT_EQ(fs::read_symlink(Prefisso() / "dosdevices" / "d:"), "../drive_d");
  for (const char* cartella :
       {"C:\\Progetti VB\\Wexo", "C:\\Orbalis\\Componenti", "C:\\Programmi\\Microsoft Visual Studio\\VB98",
        "C:\\Windows", "C:\\Windows\\System32", "D:\\WexoApp", "D:\\QuilApp"})
    EXPECT_TRUE(fs::is_directory(Host(Prefisso(), cartella))) << cartella;
  EXPECT_TRUE(sandbox::ESandbox(Prefisso()));
  // Nothing is built yet and nothing is deployed.
  EXPECT_TRUE(fs::is_empty(Host(Prefisso(), "C:\\Orbalis\\Componenti")));
  EXPECT_TRUE(fs::is_empty(Host(Prefisso(), "D:\\QuilApp")));
}

TEST_F(SandboxDelCatalogo, OgniRigaHaUnProgettoCompleto) {
  std::set<unsigned long> indirizzi;
  int dll = 0, conIndirizzo = 0, pentium0 = 0, pentium1 = 0, conTuttiITesti = 0, conAccenti = 0, conForm = 0;
  for (int riga = catalogo_.LBound(); riga <= catalogo_.UBound(); ++riga) {
    SCOPED_TRACE(catalogo_.FileProgettoCompleto(riga));
    const std::string tipo = catalogo_(riga, kTipo);
    const fs::path cartella = Host(Prefisso(), catalogo_(riga, kCartella));
    const fs::path progetto = Host(Prefisso(), catalogo_.FileProgettoCompleto(riga));
    ASSERT_TRUE(fs::is_regular_file(progetto));
    const std::string byte = test::LeggiFile(progetto);
    EXPECT_TRUE(SoloCrLf(byte));
    EXPECT_FALSE(SembraUtf8(byte));
    conAccenti += byte.find('\xE0') != std::string::npos || byte.find('\xA9') != std::string::npos;
    const auto righe = Righe(byte);

    ASSERT_FALSE(righe.empty());
    EXPECT_EQ(righe[0], std::string("Type=") + (tipo == "dll" ? "OleDll" : tipo == "exe" ? "OleExe" : "Exe"));
    EXPECT_EQ(SenzaVirgolette(Valore(righe, "ExeName32=")), catalogo_(riga, kFileOutput));
    EXPECT_FALSE(Valore(righe, "Name=").empty());
    EXPECT_NE(Valore(righe, "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#"), "");
    for (const char* chiave : {"MajorVer=", "MinorVer=", "RevisionVer="}) {
      int n = 0;
      Valore(righe, chiave, &n);
      EXPECT_EQ(n, 1) << chiave;
    }

    // Members: every file named exists; forms sit in the "Form" folder and
    // carry the control libraries the project lists.
    std::set<std::string> oggettiProgetto;
    for (const std::string& r : righe)
      if (r.rfind("Object=", 0) == 0) oggettiProgetto.insert(r.substr(7, r.find(';') - 7));
    int form = 0;
    for (const std::string& r : righe) {
      std::string file;
      if (r.rfind("Form=", 0) == 0) {
        file = r.substr(5);
        EXPECT_EQ(file.rfind("Form\\", 0), 0u) << r;
        ++form;
      } else if (r.rfind("Module=", 0) == 0 || r.rfind("Class=", 0) == 0) {
        const size_t sep = r.find("; ");
        ASSERT_NE(sep, std::string::npos) << r;
        file = r.substr(sep + 2);
      } else {
        continue;
      }
      const fs::path host = Host(Prefisso(), catalogo_(riga, kCartella) + "\\" + file);
      ASSERT_TRUE(fs::is_regular_file(host)) << r;
      const std::string sorgente = test::LeggiFile(host);
      EXPECT_TRUE(SoloCrLf(sorgente)) << file;
      EXPECT_FALSE(SembraUtf8(sorgente)) << file;
      if (r.rfind("Form=", 0) == 0) {
        const auto righeForm = Righe(sorgente);
        EXPECT_EQ(righeForm[0], "VERSION 5.00");
        int oggetti = 0;
        for (const std::string& rf : righeForm) {
          if (rf.rfind("Object = \"{", 0) != 0) continue;
          ++oggetti;
          const std::string guid = rf.substr(10, rf.find('"', 10) - 10);
          EXPECT_TRUE(oggettiProgetto.count(guid)) << rf;
          EXPECT_NE(rf.find("\"; \""), std::string::npos) << rf;
        }
        EXPECT_GE(oggetti, 1) << file;
      }
    }
    EXPECT_LE(form, 3);
    if (form) {
      ++conForm;
      EXPECT_FALSE(oggettiProgetto.empty());
    } else {
      EXPECT_FALSE(fs::exists(cartella / "Form"));
    }
    if (tipo == "app") {
      EXPECT_GE(form, 1);
    }

    // Compatibility: components point at a reference copy that exists.
    const std::string modo = Valore(righe, "CompatibleMode=");
    const std::string copia = SenzaVirgolette(Valore(righe, "CompatibleExe32="));
    if (tipo == "app") {
      EXPECT_EQ(modo, "\"0\"");
      EXPECT_EQ(copia, "");
    } else {
      EXPECT_EQ(modo, "\"1\"");
      ASSERT_FALSE(copia.empty());
      EXPECT_TRUE(fs::is_regular_file(Host(Prefisso(), catalogo_(riga, kCartella) + "\\" + copia))) << copia;
    }

    // Base addresses: only DLLs, distinct and 64 KB-aligned.
    int basi = 0;
    const std::string base = Valore(righe, "DllBaseAddress=", &basi);
    if (tipo == "dll") {
      ++dll;
      if (basi) {
        ++conIndirizzo;
        ASSERT_EQ(base.rfind("&H", 0), 0u) << base;
        const unsigned long valore = std::stoul(base.substr(2), nullptr, 16);
        EXPECT_EQ(valore % 0x10000, 0u) << base;
        EXPECT_TRUE(indirizzi.insert(valore).second) << base;
      }
    } else {
      EXPECT_EQ(basi, 0);
    }
    EXPECT_LE(basi, 1);

    const std::string pentium = Valore(righe, "FavorPentiumPro(tm)=");
    pentium0 += pentium == "0";
    pentium1 += pentium == "-1";
    int testi = 0;
    for (const char* chiave :
         {"VersionComments=", "VersionLegalCopyright=", "VersionProductName=", "VersionCompanyName="})
      testi += !Valore(righe, chiave).empty();
    conTuttiITesti += testi == 4;
  }
  EXPECT_EQ(dll, 85);
  EXPECT_GT(conIndirizzo, 85 * 3 / 4);
  EXPECT_LT(conIndirizzo, 85);
  EXPECT_GT(pentium0, 0);
  EXPECT_GT(pentium1, 0);
  EXPECT_EQ(pentium0 + pentium1, 148);
  EXPECT_GT(conTuttiITesti, 148 * 3 / 4);
  EXPECT_LT(conTuttiITesti, 148);
  EXPECT_GT(conAccenti, 100);
  EXPECT_GT(conForm, 8);
  EXPECT_LT(conForm, 148);
}

// The relative path, kind and bytes (or link target) of everything below `dir`.
std::map<std::string, std::string> Albero(const fs::path& dir) {
  std::map<std::string, std::string> out;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = it->path().lexically_relative(dir).string();
    if (it->is_symlink())
      out[rel] = "link:" + fs::read_symlink(it->path()).string();
    else if (it->is_directory())
      out[rel] = "dir";
    else
      out[rel] = "file:" + test::LeggiFile(it->path());
  }
  return out;
}

// The graph a parallel run schedules by: every reference to a row before it,
// so the catalogue's own order respects it.
TEST_F(SandboxDelCatalogo, IlGrafoDeiRiferimenti) {
  FileSystemLinux fso{DriveTable(Prefisso())};
  const GrafoRiferimenti g = LeggiGrafoRiferimenti(fso, catalogo_);
  EXPECT_EQ(g.Archi(), 225);
  const std::vector<double> rimanente = PercorsoRimanente(g);
  ASSERT_EQ(rimanente.size(), 148u);
  EXPECT_EQ(*std::max_element(rimanente.begin(), rimanente.end()), 8);
  EXPECT_EQ(std::count_if(g.richieste.begin(), g.richieste.end(), [](const auto& r) { return r.empty(); }), 28);
  EXPECT_TRUE(g.successive.empty());
  EXPECT_TRUE(g.cicli.empty());
  std::vector<int> ordine(148);
  std::iota(ordine.begin(), ordine.end(), 0);
  EXPECT_EQ(PrimaViolazione(g, ordine), std::nullopt);
}

TEST_F(SandboxDelCatalogo, DueVolteDaGliStessiByte) {
  const fs::path seconda = cartella_->Dir() / "seconda";
  sandbox::CreaSandbox(seconda, catalogo_, {});
  const auto a = Albero(Prefisso()), b = Albero(seconda);
  EXPECT_GT(a.size(), 148u * 3);
  EXPECT_EQ(a.at("dosdevices/c:"), "link:../drive_c");
  EXPECT_TRUE(a == b);
}

}  // namespace
}  // namespace cw
