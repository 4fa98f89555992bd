// The real project and form files of the shared corpus, put through every
// operation on a temporary suite and compared with what a plain reading of
// their lines expects.

#include <gtest/gtest.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <functional>

#include "projectfile/operazioni_progetto.h"
#include "projectfile/riscrivi_file.h"
#include "support/suite_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

namespace fs = std::filesystem;
using test::SuiteProva;
using test::UiRegistrata;

struct FileCorpus {
  std::string nome;
  std::string byte;
};

std::vector<FileCorpus> Corpus(const char* cartella, const char* estensione) {
  std::vector<FileCorpus> out;
  const fs::path dir = fs::path(CW_SHARED_DIR) / "corpus" / cartella;
  if (!fs::is_directory(dir)) return out;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().extension() != estensione) continue;
    std::ifstream in(e.path(), std::ios::binary);
    out.push_back({e.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {})});
  }
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.nome < b.nome; });
  return out;
}

// The file's lines as a reader sees them: split at LF, one CR before it
// dropped, nothing after a final LF.
std::vector<std::string> Righe(const std::string& byte) {
  std::vector<std::string> righe;
  std::size_t da = 0;
  while (da < byte.size()) {
    std::size_t a = byte.find('\n', da);
    if (a == std::string::npos) {
      righe.push_back(byte.substr(da));
      break;
    }
    std::string r = byte.substr(da, a - da);
    if (!r.empty() && r.back() == '\r') r.pop_back();
    righe.push_back(std::move(r));
    da = a + 1;
  }
  return righe;
}

std::string Atteso(const std::string& byte, const std::function<std::string(std::string_view)>& riga,
                   int* cambiate = nullptr) {
  std::string out;
  for (const std::string& r : Righe(byte)) {
    const std::string nuova = riga(r);
    if (cambiate && nuova != r) ++*cambiate;
    out += nuova + "\r\n";
  }
  return out;
}

std::string Prefisso(std::string_view r, std::string_view chiave, std::string_view valore) {
  if (r.starts_with(chiave)) return std::string(chiave) + std::string(valore);
  return std::string(r);
}

class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    progetti = Corpus("vbp", ".vbp");
    form = Corpus("frm", ".frm");
    // CI always has the corpus beside the checkout: missing there is a fault, not a skip.
    if (progetti.empty() && std::getenv("CI")) FAIL() << "no corpus at " CW_SHARED_DIR;
    if (progetti.empty()) GTEST_SKIP() << "no corpus at " CW_SHARED_DIR;
    std::vector<test::RigaProva> righe;
    for (std::size_t i = 0; i < progetti.size(); ++i)
      righe.push_back({"P" + std::to_string(i), progetti[i].nome, i % 7 == 3 ? "app" : "dll"});
    suite = std::make_unique<SuiteProva>(righe);
    for (std::size_t i = 0; i < progetti.size(); ++i) suite->Scrivi(suite->Progetto(i), progetti[i].byte);
    // Every form file in the first row's "Form" folder.
    for (const auto& f : form) suite->Scrivi(suite->InCartella(0, "Form\\" + f.nome), f.byte);
  }

  std::vector<FileCorpus> progetti, form;
  std::unique_ptr<SuiteProva> suite;
  UiRegistrata ui;
};

TEST_F(CorpusTest, CompatibilityReplacesExactlyTheModeLines) {
  ImpostaCompatibilita(suite->fso, suite->catalogo, ui, Compatibilita::Binaria);
  int cambiate = 0;
  for (std::size_t i = 0; i < progetti.size(); ++i) {
    const bool app = suite->catalogo(static_cast<int>(i), kTipo) == "app";
    const std::string atteso =
        app ? progetti[i].byte
            : Atteso(
                  progetti[i].byte, [](std::string_view r) { return Prefisso(r, "CompatibleMode=", "\"2\""); },
                  &cambiate);
    EXPECT_TRUE(suite->Leggi(suite->Progetto(i)) == atteso) << progetti[i].nome;
  }
  EXPECT_GT(cambiate, 10);
}

TEST_F(CorpusTest, VersionReplacesTheThreeNumbersAndFavorPentiumPro) {
  ImpostaVersione(suite->fso, suite->catalogo, ui, "12", "034", "5678");
  int cambiate = 0;
  for (std::size_t i = 0; i < progetti.size(); ++i) {
    const std::string atteso = Atteso(
        progetti[i].byte,
        [](std::string_view r) {
          if (r == "FavorPentiumPro(tm)=0") return std::string("FavorPentiumPro(tm)=-1");
          std::string s = Prefisso(r, "MajorVer=", "12");
          s = Prefisso(s, "MinorVer=", "034");
          return Prefisso(s, "RevisionVer=", "5678");
        },
        &cambiate);
    EXPECT_TRUE(suite->Leggi(suite->Progetto(i)) == atteso) << progetti[i].nome;
  }
  EXPECT_GT(cambiate, 3 * static_cast<int>(progetti.size()) / 2);
  EXPECT_EQ(ui.log.size(), progetti.size());
}

TEST_F(CorpusTest, PropertiesReplaceTheFourTextsInTheirCodePage) {
  ImpostaProprieta(suite->fso, suite->catalogo, ui, "Commenti «prova»", "© Società", "", "Orbalis \"S.p.A.\"");
  for (std::size_t i = 0; i < progetti.size(); ++i) {
    const std::string atteso = Atteso(progetti[i].byte, [](std::string_view r) {
      std::string s = Prefisso(r, "VersionComments=", "Commenti \xABprova\xBB");
      s = Prefisso(s, "VersionLegalCopyright=", "\xA9 Societ\xE0");
      s = Prefisso(s, "VersionProductName=", "");
      return Prefisso(s, "VersionCompanyName=", "Orbalis \"S.p.A.\"");
    });
    EXPECT_TRUE(suite->Leggi(suite->Progetto(i)) == atteso) << progetti[i].nome;
  }
}

TEST_F(CorpusTest, GuidReplacedInProjectAndFormFiles) {
  // A GUID that several of the files reference: the OLE Automation library.
  const std::string vecchio = "{00020430-0000-0000-C000-000000000046}";
  const std::string nuovo = "{11111111-2222-3333-4444-000020430000}";
  auto sostituisci = [&](std::string_view r) {
    std::string s(r), out;
    for (std::size_t p; (p = s.find(vecchio)) != std::string::npos; s.erase(0, p + vecchio.size()))
      out += s.substr(0, p) + nuovo;
    return out + s;
  };
  SostituisciGuid(suite->fso, suite->catalogo, vecchio, nuovo);
  int cambiate = 0;
  for (std::size_t i = 0; i < progetti.size(); ++i)
    EXPECT_TRUE(suite->Leggi(suite->Progetto(i)) == Atteso(progetti[i].byte, sostituisci, &cambiate))
        << progetti[i].nome;
  for (const auto& f : form)
    EXPECT_TRUE(suite->Leggi(suite->InCartella(0, "Form\\" + f.nome)) == Atteso(f.byte, sostituisci, &cambiate))
        << f.nome;
  EXPECT_GT(cambiate, 10);
  EXPECT_TRUE(ui.eventi.empty());
}

TEST_F(CorpusTest, ANoOpRewriteChangesNothingButLineEnds) {
  const RegolaRiga nulla = [](std::string r) { return r; };
  auto uguale = [](std::string_view r) { return std::string(r); };
  for (std::size_t i = 0; i < progetti.size(); ++i) {
    RiscriviFile(suite->fso, suite->Progetto(i), nulla);
    const std::string dopo = suite->Leggi(suite->Progetto(i));
    EXPECT_TRUE(dopo == Atteso(progetti[i].byte, uguale)) << progetti[i].nome;
    // Taking every CR before an LF away on both sides leaves the same bytes.
    auto senzaCr = [](std::string s) {
      std::string out;
      for (std::size_t k = 0; k < s.size(); ++k)
        if (!(s[k] == '\r' && k + 1 < s.size() && s[k + 1] == '\n')) out += s[k];
      if (!out.empty() && out.back() != '\n') out += '\n';
      return out;
    };
    EXPECT_TRUE(senzaCr(dopo) == senzaCr(progetti[i].byte)) << progetti[i].nome;
  }
  for (const auto& f : form) {
    const std::string percorso = suite->InCartella(0, "Form\\" + f.nome);
    RiscriviFile(suite->fso, percorso, nulla);
    EXPECT_TRUE(suite->Leggi(percorso) == Atteso(f.byte, uguale)) << f.nome;
  }
}

}  // namespace
}  // namespace cw
