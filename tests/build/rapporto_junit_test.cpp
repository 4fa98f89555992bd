#include "build/rapporto_junit.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "support/compila_finti.h"
#include "support/prefisso_temporaneo.h"
#include "support/sistema_prova.h"

#ifdef CW_CON_QT
#include <QXmlStreamReader>
#endif

namespace cw {
namespace {

using Stato = EsitoCompilazione::Stato;

TEST(RapportoJUnit, OneCasePerRowReadBackByAnXmlParser) {
#ifndef CW_CON_QT
  GTEST_SKIP() << "built without Qt: no XML parser";
#else
  const std::vector<EsitoCompilazione> righe = {
      {Stato::Compilato, "C:\\Progetti VB\\Wexo\\Utile", "Utile.vbp", 1.25, ""},
      {Stato::Marcatore, "C:\\Progetti VB\\Wexo\\Salta", "Salta.vbp", 0, ""},
      {Stato::Fallito, "C:\\Progetti VB\\Wexo\\Città & \"co\"", "<Rotto>.vbp", 0.5,
       "Impossibile trovare 'Form1.frm' <x> & \x01\x1F fine\r\n"},
      {Stato::NonCompilato, "C:\\Progetti VB\\Wexo\\Dopo", "Dopo.vbp", 0, ""},
  };
  const std::string xml = RapportoJUnit(righe);
  QXmlStreamReader r(QByteArray::fromStdString(xml));
  struct Letto {
    std::string classname, name, time, esito, testo;
  };
  std::vector<Letto> letti;
  QString suite;
  while (!r.atEnd()) {
    r.readNext();
    if (!r.isStartElement()) continue;
    const QString n = r.name().toString();
    if (n == "testsuite")
      suite = r.attributes().value("tests").toString() + "/" + r.attributes().value("failures").toString() + "/" +
              r.attributes().value("skipped").toString();
    if (n == "testcase")
      letti.push_back({r.attributes().value("classname").toString().toStdString(),
                       r.attributes().value("name").toString().toStdString(),
                       r.attributes().value("time").toString().toStdString(), "", ""});
    if (n == "failure" || n == "skipped") {
      letti.back().esito = n.toStdString();
      letti.back().testo = r.readElementText().toStdString();
    }
  }
  ASSERT_FALSE(r.hasError()) << r.errorString().toStdString() << "\n" << xml;
  EXPECT_EQ(suite.toStdString(), "4/1/2");
  ASSERT_EQ(letti.size(), 4u);
  const std::pair<const char*, const char*> esiti[] = {{"", ""}, {"skipped", ""}, {"failure", ""}, {"skipped", ""}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(letti[i].classname, righe[i].cartella);
    EXPECT_EQ(letti[i].name, righe[i].fileProgetto);
    EXPECT_EQ(letti[i].esito, esiti[i].first) << i;
  }
  EXPECT_EQ(letti[0].time, "1.250");
  // The controls XML cannot hold are left out; the rest of the report stays.
  EXPECT_EQ(letti[2].testo, "Impossibile trovare 'Form1.frm' <x> &  fine\n");
#endif
}

namespace fs = std::filesystem;

// What RapportoRifiutato refuses before the run: a path that could replace a
// file of the suite (links followed), or a folder or device in place of a file.
TEST(RapportoJUnit, APathThatWouldReplaceWhatIsNoReportIsRefused) {
  test::CartellaTemporanea t;
  const fs::path unita = t.Dir() / "drive_c";
  fs::create_directories(unita / "Wexo");
  fs::create_directories(t.Dir() / "fuori");
  fs::create_directories(t.Dir() / "drive_cc");
  test::ScriviFile(unita / "Wexo" / "X.vbp", "Type=OleDll\r\n");
  const struct {
    fs::path file;
    std::string rifiuto;  // a part of the refusal; "" when accepted
  } casi[] = {
      {unita / "Wexo" / "X.vbp", "non può stare dentro " + unita.string()},
      {unita / "Nuovo.xml", "non può stare dentro"},
      {unita / "Wexo" / ".." / ".." / "fuori" / "r.xml", ""},
      {t.Dir() / "drive_cc" / "r.xml", ""},  // beside the drive, not in it
      {t.Dir() / "fuori" / "r.xml", ""},
      {t.Dir() / "fuori", "non può prendere il posto di " + (t.Dir() / "fuori").string()},
#ifndef _WIN32
      {t.Dir() / "collegamento" / "X.vbp", "non può stare dentro"},
      {"/dev/full", "non è un file"},
#endif
  };
#ifndef _WIN32
  fs::create_directory_symlink(unita / "Wexo", t.Dir() / "collegamento");
#endif
  for (const auto& c : casi) {
    const std::string rifiuto = RapportoRifiutato(c.file, {unita});
    if (c.rifiuto.empty())
      EXPECT_EQ(rifiuto, "") << c.file;
    else
      EXPECT_NE(rifiuto.find(c.rifiuto), std::string::npos) << c.file << ": " << rifiuto;
  }
  EXPECT_EQ(test::LeggiFile(unita / "Wexo" / "X.vbp"), "Type=OleDll\r\n");
}

// The report replaces its file whole or leaves it as it was, and no
// temporary file stays behind either way.
TEST(RapportoJUnit, TheReportIsWrittenWholeOrNotAtAll) {
  const std::string xml(64 * 1024, 'x');
  struct Caso {
    const char* nome;
    std::function<fs::path(const fs::path& dir)> prepara;  // the report's path
    bool scritto;
    std::function<void()> durante = [] {};
  };
  std::vector<Caso> casi = {
      {"a new file", [](const fs::path& d) { return d / "r.xml"; }, true},
      {"an old report",
       [](const fs::path& d) {
         test::ScriviFile(d / "r.xml", "vecchio");
         return d / "r.xml";
       },
       true},
      {"a missing folder", [](const fs::path& d) { return d / "manca" / "r.xml"; }, false},
      {"a folder",
       [](const fs::path& d) {
         fs::create_directory(d / "r.xml");
         return d / "r.xml";
       },
       false},
  };
#ifndef _WIN32
  casi.push_back({"through a link, the file it leads to",
                  [](const fs::path& d) {
                    fs::create_directory(d / "vero");
                    test::ScriviFile(d / "vero" / "r.xml", "vecchio");
                    fs::create_symlink(d / "vero" / "r.xml", d / "r.xml");
                    return d / "r.xml";
                  },
                  true});
  // A full disk: writes past the file size limit fail as they would on it.
  casi.push_back({"a write that fails",
                  [](const fs::path& d) {
                    test::ScriviFile(d / "r.xml", "vecchio");
                    return d / "r.xml";
                  },
                  false,
                  [] {
                    struct rlimit limite = {4096, RLIM_INFINITY};
                    ::setrlimit(RLIMIT_FSIZE, &limite);
                  }});
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    test::CartellaTemporanea t;
    const fs::path file = c.prepara(t.Dir());
    const auto prima = test::Albero(t.Dir());
    c.durante();
    const std::string motivo = ScriviRapportoJUnit(*test::SistemaDiProva().fileEsterni, file, xml);
#ifndef _WIN32
    struct rlimit senza = {RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &senza);
#endif
    if (c.scritto) {
      EXPECT_EQ(motivo, "");
      EXPECT_EQ(test::LeggiFile(file), xml);
      EXPECT_EQ(fs::is_symlink(file), std::string(c.nome).starts_with("through"));
      for (const auto& e : fs::recursive_directory_iterator(t.Dir()))
        EXPECT_FALSE(e.path().filename().string().ends_with(".tmp")) << e.path();
    } else {
      EXPECT_NE(motivo, "");
      EXPECT_EQ(test::Albero(t.Dir()), prima);
    }
  }
}

}  // namespace
}  // namespace cw
